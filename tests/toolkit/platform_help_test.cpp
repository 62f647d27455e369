// The desktop platform's help pages and mail hand-off arguments, worked out
// without starting anything.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/base/fs.h"
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
    // Every file address the program hands over is made the same way.
    struct {
        const char* path;
        const char* url;
    } const cases[] = {
        {"/home/o'neil,x/r z.zip", "file:///home/o%27neil%2Cx/r%20z.zip"},
        {"/a-b.c_d~e/100%", "file:///a-b.c_d~e/100%25"},
        {"/Caf\xC3\xA9/#?&+", "file:///Caf%C3%A9/%23%3F%26%2B"},
        {"C:/Program Files/x", "file:///C:/Program%20Files/x"},  // the drive's colon stays
        {"rel/x:y", "file:///rel/x%3Ay"},
    };
    for (const auto& c : cases) EXPECT_EQ(FileUrl(c.path), c.url) << c.path;
    // Where "\\" separates folders (Windows) it becomes "/"; elsewhere it is a
    // character of the name.
    EXPECT_EQ(FileUrl("C:\\My Files\\r.zip"), IsPathSeparator('\\')
                                                  ? "file:///C:/My%20Files/r.zip"
                                                  : "file:///C:%5CMy%20Files%5Cr.zip");
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
