// The desktop platform's help pages and mail hand-off arguments, worked out
// without starting anything.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/base/platform.h"
#include "support/shell.h"

namespace fs = std::filesystem;

TEST(PlatformHelp, TopicPageWhenPresentElseIndex) {
    const std::string tmpl = MakeTempFolder("vantrel-help-");
    ASSERT_FALSE(tmpl.empty());
    const std::string folder = tmpl + "/";
    std::ofstream(folder + "index.html") << "<html></html>";
    std::ofstream(folder + "topic-310.html") << "<html></html>";

    // The folder as an address names: "/" between folders, and a "/" before
    // a drive letter ("file:///C:/Users/...").
    std::string address = folder;
    for (char& c : address) {
        if (c == '\\') c = '/';
    }
    if (address[0] != '/') address.insert(0, 1, '/');
    const std::string url = "file://" + address;
    EXPECT_EQ(HelpTopicUrl(folder, 310), url + "topic-310.html");
    EXPECT_EQ(HelpTopicUrl(folder, 460), url + "index.html") << "no page: contents";
    EXPECT_EQ(HelpTopicUrl(folder, 0), url + "index.html");
    EXPECT_EQ(HelpTopicUrl(folder, -1), url + "index.html#index");
    EXPECT_EQ(HelpTopicUrl(tmpl, 310), url + "topic-310.html")
        << "a folder without its trailing slash";
    fs::remove_all(folder);
}

TEST(PlatformHelp, FolderNamesWithBlanksAreEscaped) {
    EXPECT_EQ(HelpTopicUrl("/opt/My Programs/Help/", 0),
              "file:///opt/My%20Programs/Help/index.html");
}

TEST(PlatformMail, ArgumentsCarryEveryPartInOrder) {
    MailRequest m;
    m.to = "support@example.com";
    m.subject = "Service Report";
    m.body = "Line one\nLine two";
    m.attachments = {"/tmp/a b.zip", "/tmp/c.txt"};
    EXPECT_EQ(MailCommandArgs(m),
              (std::vector<std::string>{"--subject", "Service Report", "--body",
                                        "Line one\nLine two", "--attach", "/tmp/a b.zip",
                                        "--attach", "/tmp/c.txt", "support@example.com"}));
}

TEST(PlatformMail, EmptyPartsAndOptionLikeAddressesAreLeftOut) {
    MailRequest m;
    EXPECT_TRUE(MailCommandArgs(m).empty());
    m.to = "--utf8";
    m.subject = "-x";
    EXPECT_EQ(MailCommandArgs(m), (std::vector<std::string>{"--subject", "-x"}))
        << "a subject is an option's value; an address is not";
}
