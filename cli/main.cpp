// lumbrel-scan: the command-line front end of the version inventory.
#include <string>
#include <vector>

#include "cli/ScanCommand.h"

int main(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return cli::RunLumbrelScan(arguments);
}
