// Access to the PE fixture files for the version reader's tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

inline std::string PeFixture(const std::string& name)
{
    return std::string(LUMBREL_FIXTURES_DIR) + "/pe/" + name;
}

inline std::vector<std::uint8_t> PeFixtureBytes(const std::string& name)
{
    std::ifstream in(PeFixture(name), std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
