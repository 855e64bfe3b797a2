// The kernel's pseudo file systems by their statfs magic numbers
// (linux/magic.h), listed here so the check needs no kernel headers.
#include "platform/FileSystemKind.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

namespace platform {
namespace {

constexpr std::int64_t kTmpfsType = 0x01021994;

constexpr std::array<std::int64_t, 20> kPseudoFileSystemTypes{
    0x9fa0,     // proc
    0x62656572, // sysfs
    0x1cd1,     // devpts
    0x27e0eb,   // cgroup
    0x63677270, // cgroup2
    0x64626720, // debugfs
    0x74726163, // tracefs
    0x73636673, // securityfs
    0x6165676c, // pstore
    0xcafe4a11, // bpf
    0x62656570, // configfs
    0x42494e4d, // binfmt_misc
    0xf97cff8c, // selinuxfs
    0x6e736673, // nsfs
    0x50495045, // pipefs
    0x534f434b, // sockfs
    0x09041934, // anon_inode_fs
    0x67596969, // rpc_pipefs
    0xde5e81e4, // efivarfs
    0x19800202, // mqueue
};

// Whether the mount table names the file system of device `device` devtmpfs.
// A mountinfo line reads "id parent major:minor root point options ... -
// type source options".
bool IsDevtmpfsDevice(dev_t device)
{
    std::ifstream table("/proc/self/mountinfo");
    const std::string wanted = std::to_string(major(device)) + ":" + std::to_string(minor(device));
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string id, parent, numbers;
        fields >> id >> parent >> numbers;
        if (numbers != wanted) continue;
        const std::size_t separator = line.find(" - ");
        if (separator == std::string::npos) continue;
        std::istringstream tail(line.substr(separator + 3));
        std::string type;
        tail >> type;
        if (type == "devtmpfs") return true;
    }
    return false;
}

} // namespace

bool IsPseudoFileSystemType(std::int64_t fileSystemType)
{
    return std::find(kPseudoFileSystemTypes.begin(), kPseudoFileSystemTypes.end(), fileSystemType) !=
           kPseudoFileSystemTypes.end();
}

bool IsOnPseudoFileSystem(int fd)
{
    struct statfs status {};
    if (::fstatfs(fd, &status) != 0) return false;
    // The magic numbers are 32-bit; f_type is a signed word.
    const auto type = static_cast<std::int64_t>(static_cast<std::uint32_t>(status.f_type));
    if (type != kTmpfsType) return IsPseudoFileSystemType(type);
    struct stat fileStatus {};
    return ::fstat(fd, &fileStatus) == 0 && IsDevtmpfsDevice(fileStatus.st_dev);
}

} // namespace platform
