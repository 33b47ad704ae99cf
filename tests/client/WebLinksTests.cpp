#include "ClientTestUtil.h"
#include "OperatorSite.h"

using client_test::ShellRecorder;

TEST(WebLinks, OnlyHttpAndHttpsAddressesAreWebAddressesAndReachTheShell)
{
    for (const wchar_t* web : {L"http://example.com/", L"HTTPS://example.com/a?b=1", L"Http://x"})
        EXPECT_TRUE(web_links::IsWebAddress(web)) << web;
    for (const wchar_t* other :
         {L"file:///C:/Windows/System32/calc.exe", L"C:\\Windows\\System32\\calc.exe", L"calc.exe",
          L"javascript:alert(1)", L"\\\\server\\share\\setup.exe", L"httpx://example.com",
          L"http:/example.com", L"http://", L" http://example.com", L""})
        EXPECT_FALSE(web_links::IsWebAddress(other)) << other;
    EXPECT_FALSE(web_links::IsWebAddress(nullptr));

    ShellRecorder shell;
    EXPECT_TRUE(web_links::OpenInBrowser(L"https://example.com/news"));
    EXPECT_FALSE(web_links::OpenInBrowser(L"file:///C:/Windows/System32/calc.exe"));
    EXPECT_FALSE(web_links::OpenInBrowser(L"C:\\Windows\\notepad.exe"));
    EXPECT_FALSE(web_links::OpenInBrowser(nullptr));
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], L"https://example.com/news");
}

TEST(OperatorSite, AddressesJoinTheBuildSettingAndThePath)
{
    const std::wstring base = operator_site::Base();
    ASSERT_FALSE(base.empty());
    EXPECT_TRUE(web_links::IsWebAddress(base.c_str()));
    EXPECT_EQ(operator_site::Address(operator_site::kStartPath), base + L"/diy/zelk/client");
    EXPECT_EQ(operator_site::Address(operator_site::kRechargePath), base + L"/url-zelk-pay.html");
    EXPECT_EQ(operator_site::Address(operator_site::kCustomerServicePath),
              base + L"/url-zelk-kf.html");
    EXPECT_EQ(operator_site::Address(operator_site::kOfficialSitePath),
              base + L"/url-zelk-www.html");
}
