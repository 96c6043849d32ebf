#include "platform/identity.h"

#include "platform/exceptions.h"
#include "tests/support/print_case_name.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

namespace carlume {
namespace {

struct HostCase {
    const char* host;
    const char* nis;
    const char* computer;
    const char* domain;
};

void PrintTo(const HostCase& c, std::ostream* os)
{
    *os << c.host << " | " << c.nis;
}

class SplitHostNameTest : public ::testing::TestWithParam<HostCase> {};

TEST_P(SplitHostNameTest, ComputerAndDomain)
{
    std::string computer = "stale", domain = "stale";
    SplitHostName(GetParam().host, GetParam().nis, computer, domain);
    EXPECT_EQ(computer, GetParam().computer);
    EXPECT_EQ(domain, GetParam().domain);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitHostNameTest,
    ::testing::Values(HostCase{"pc7.office.example.com", "nis", "pc7", "office.example.com"},
                      HostCase{"pc7", "corp", "pc7", "corp"}, HostCase{"pc7", "(none)", "pc7", ""},
                      HostCase{"pc7", "", "pc7", ""}, HostCase{"pc7.", "corp", "pc7", "corp"},
                      HostCase{"", "", "", ""}),
    [](const auto& row) { return test::Spelled(row.param.host) + "_" + test::Spelled(row.param.nis); });

TEST(IdentityTest, SystemNamesComeFromLocalSources)
{
    const TMachineIdentity identity = SystemMachineIdentity();
    char host[256] = {};
    ASSERT_EQ(::gethostname(host, sizeof host - 1), 0);
    const std::string hostName = host;
    EXPECT_EQ(identity.ComputerName, hostName.substr(0, hostName.find('.')));
    EXPECT_FALSE(identity.UserName.empty());
    EXPECT_EQ(MachineIdentity(), identity);
}

TEST(IdentityTest, ProvidersCanBeReplaced)
{
    const TMachineIdentity fake{"tester", "PC1", "CORP"};
    {
        ScopedIdentityProvider scoped(fake);
        EXPECT_EQ(MachineIdentity(), fake);
        {
            ScopedIdentityProvider failing(
                TIdentityProvider([]() -> TMachineIdentity { throw EOSError("no network object", 1); }));
            EXPECT_THROW((void)MachineIdentity(), Exception);
        }
        EXPECT_EQ(MachineIdentity(), fake);
    }
    EXPECT_EQ(MachineIdentity(), SystemMachineIdentity());
}

} // namespace
} // namespace carlume
