// The desktop platform's answers about the user's desktop: the mailto:
// handler, desktop entries, the desktop folder and programs on the path, read
// from a home folder of the test's own. Nothing is started but the desktop's
// query tools (xdg-mime, xdg-user-dir).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "app/test_init.h"
#include "app/toolkit/desktop_platform.h"
#include "app/toolkit/robot.h"

namespace fs = std::filesystem;

namespace {

// Points HOME and the XDG folders at a temporary home; restores them afterwards.
class TempHome {
public:
    TempHome() {
        std::string tmpl = (fs::temp_directory_path() / "vantrel-home-XXXXXX").string();
        char* made = mkdtemp(tmpl.data());
        home_ = made ? made : tmpl;
        fs::create_directories(home_ + "/.config");
        fs::create_directories(home_ + "/.local/share/applications");
        fs::create_directories(home_ + "/system");
        Set("HOME", home_);
        Set("XDG_CONFIG_HOME", home_ + "/.config");
        Set("XDG_DATA_HOME", home_ + "/.local/share");
        Set("XDG_DATA_DIRS", home_ + "/system");
        Set("XDG_CONFIG_DIRS", home_ + "/system");
        for (const char* v : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                              "GNOME_DESKTOP_SESSION_ID", "XDG_DESKTOP_DIR"})
            Set(v, std::nullopt);
    }
    ~TempHome() {
        for (auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
        std::error_code ec;
        fs::remove_all(home_, ec);
    }
    const std::string& path() const { return home_; }
    void Write(const std::string& relative, const std::string& text) {
        fs::create_directories(fs::path(home_ + "/" + relative).parent_path());
        std::ofstream(home_ + "/" + relative, std::ios::binary) << text;
    }

private:
    void Set(const std::string& name, std::optional<std::string> value) {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
    std::string home_;
    std::map<std::string, std::optional<std::string>> saved_;
};

TEST(PlatformDesktop, MailtoHandlerAndItsEntry) {
    EzTestInit();
    TempHome home;
    auto p = MakeDesktopPlatform();
    EXPECT_EQ(p->MailtoHandler(), "");
    const std::string entry =
        "[Desktop Entry]\nType=Application\nName=Mail\nExec=\"/opt/tb/thunderbird\" %u\n"
        "MimeType=x-scheme-handler/mailto;\n";
    home.Write(".local/share/applications/thunderbird.desktop", entry);
    home.Write(".config/mimeapps.list",
               "[Default Applications]\nx-scheme-handler/mailto=thunderbird.desktop\n");
    EXPECT_EQ(p->MailtoHandler(), "thunderbird.desktop");
    EXPECT_EQ(p->DesktopEntry("thunderbird.desktop"), entry);
    EXPECT_EQ(p->DesktopEntry("missing.desktop"), "");
    EXPECT_EQ(p->DesktopEntry("../applications/thunderbird.desktop"), "");
}

TEST(PlatformDesktop, DesktopFolder) {
    EzTestInit();
    TempHome home;
    auto p = MakeDesktopPlatform();
    EXPECT_EQ(p->DesktopFolder(), "") << "no desktop folder at all";
    fs::create_directories(home.path() + "/Desktop");
    EXPECT_EQ(p->DesktopFolder(), home.path() + "/Desktop/");
    // The user's own desktop folder, as the desktop's settings name it.
    fs::create_directories(home.path() + "/Schreibtisch");
    home.Write(".config/user-dirs.dirs", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n");
    EXPECT_EQ(p->DesktopFolder(), home.path() + "/Schreibtisch/");
    // A named folder that is gone: back to ~/Desktop.
    fs::remove(home.path() + "/Schreibtisch");
    EXPECT_EQ(p->DesktopFolder(), home.path() + "/Desktop/");
}

}  // namespace
