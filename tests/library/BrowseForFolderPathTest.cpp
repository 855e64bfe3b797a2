// The folder-browse call: what it asks the installed picker, and the path form
// of the answer.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "VORN_STD_library/BrowseForFolderPath.h"
#include "platform/FolderPicker.h"

namespace {

struct AnsweringPicker final : platform::FolderPicker {
    std::string answer;
    platform::FolderPickerRequest last;
    std::string PickFolder(const platform::FolderPickerRequest& request) override
    {
        last = request;
        return answer;
    }
};

TEST(BrowseForFolderPath, PassesTheRequestAndReturnsTheFolderWithoutTrailingSlash)
{
    auto picker = std::make_shared<AnsweringPicker>();
    const auto previous = platform::SetFolderPicker(picker);

    EXPECT_EQ(VORN_STD_library::BrowseForFolderPath(nullptr, "", 0, ""), "");
    EXPECT_FALSE(picker->last.allowNewFolder);
    EXPECT_TRUE(picker->last.startFolder.empty());

    picker->answer = "/srv/data/";
    EXPECT_EQ(VORN_STD_library::BrowseForFolderPath(nullptr, "Pick", 1, "/srv"), "/srv/data");
    EXPECT_TRUE(picker->last.allowNewFolder);
    EXPECT_EQ(picker->last.startFolder, "/srv");
    EXPECT_EQ(picker->last.title, "Pick");

    // The answer's bytes are kept; only the path form changes.
    for (const auto& [answer, path] : {std::pair<std::string, std::string>{"/", "/"},
                                       {"/srv/Gr\xc3\xbc\xc3\x9f" "e", "/srv/Gr\xc3\xbc\xc3\x9f" "e"},
                                       {"/srv/\xff\xfe/", "/srv/\xff\xfe"},
                                       {"//srv/./a/../b//", "/srv/b"}}) {
        picker->answer = answer;
        EXPECT_EQ(VORN_STD_library::BrowseForFolderPath(nullptr, "", 0, ""), path) << answer;
    }

    // Without a picker the request is answered as cancelled.
    platform::SetFolderPicker(nullptr);
    EXPECT_EQ(VORN_STD_library::BrowseForFolderPath(nullptr, "", 0, ""), "");
    platform::SetFolderPicker(previous);
}

} // namespace
