#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"
#include "VendorRegistry.h"

namespace pondel {
namespace {

struct RegistryFile {
    const char* name;
    const char* text;
};

struct VendorCase {
    const char* what;
    std::vector<RegistryFile> files;
    const char* mac;
    const char* vendor;
};

constexpr const char* kHeader = "Registry,Assignment,Organization Name,Organization Address\n";

const std::string kOui = std::string(kHeader) +
    "MA-L,0050C2,IEEE Registration Authority,445 Hoes Lane Piscataway NJ US 08854 \r\n"
    "MA-L,70B3D5,IEEE Registration Authority,445 Hoes Lane Piscataway NJ US 08854 \r\n"
    "MA-L,001B21,Intel Corporate,Lot 8 Jalan Hi-Tech 2/3  Kulim Kedah MY 09000 \r\n"
    "MA-L,3C22FB,\"Apple, Inc.\",1 Infinite Loop Cupertino CA US 95014 \r\n";

class VendorRegistryTest : public ::testing::TestWithParam<VendorCase> { };

TEST_P(VendorRegistryTest, FindsTheLongestBlock)
{
    const VendorCase& c = GetParam();
    const TemporaryDirectory folder;
    for (const RegistryFile& file : c.files)
        std::ofstream(folder / file.name, std::ios::binary) << file.text;
    const VendorRegistry registry = VendorRegistry::ReadFolder(folder.Path());
    MacAddress mac{};
    ASSERT_EQ(ParseMacAddress(c.mac, mac), 0);
    EXPECT_EQ(registry.Find(mac), c.vendor) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Registries, VendorRegistryTest,
    ::testing::Values(VendorCase{"24-bit block", {{"oui.csv", kOui.c_str()}}, "00:1b:21:0a:0b:0c",
                          "Intel Corporate"},
        VendorCase{"quoted name with a comma", {{"oui.csv", kOui.c_str()}}, "3C-22-FB-01-02-03",
            "Apple, Inc."},
        VendorCase{"no block", {{"oui.csv", kOui.c_str()}}, "02:00:00:00:00:01", ""},
        VendorCase{"28-bit block inside a 24-bit one",
            {{"oui.csv", kOui.c_str()}, {"mam.csv", "MA-M,0050C2A,Lab Instruments,\n"}},
            "00:50:C2:A1:22:33", "Lab Instruments"},
        VendorCase{"28-bit block misses, 24-bit one holds",
            {{"oui.csv", kOui.c_str()}, {"mam.csv", "MA-M,0050C2A,Lab Instruments,\n"}},
            "00:50:C2:B1:22:33", "IEEE Registration Authority"},
        VendorCase{"36-bit block",
            {{"oui.csv", kOui.c_str()}, {"oui36.csv", "MA-S,70B3D5F2F,Tele,\n"}},
            "70:B3:D5:F2:FA:01", "Tele"},
        VendorCase{"36-bit block of the older registry",
            {{"oui.csv", kOui.c_str()}, {"iab.csv", "IAB,0050C27D5,Deuta,\n"}}, "00:50:C2:7D:50:01",
            "Deuta"},
        VendorCase{"missing registry", {}, "00:1b:21:0a:0b:0c", ""},
        VendorCase{"malformed lines are skipped",
            {{"oui.csv",
                "MA-L,00XB21,Bad Digits,\nMA-L,001B2,Too Short,\n\x01\xff garbage\n"
                "MA-L,001B21,,\nMA-L,001B21,Intel Corporate,\n"}},
            "00:1b:21:0a:0b:0c", "Intel Corporate"},
        VendorCase{"binary file",
            {{"oui.csv",
                "\x7f"
                "ELF\x02\x01\x01"}},
            "7f:45:4c:46:02:01", ""}));

} // namespace
} // namespace pondel
