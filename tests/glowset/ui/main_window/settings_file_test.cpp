// File > Save and File > Open through the window.

#include "glowset/ui/platform/dialogs.h"
#include "tests/glowset/support/window_fixture.h"
#include "tests/support/files.h"
#include "tests/support/window_snapshot.h"

#include <unistd.h>

namespace glowset::testing {
namespace {

class SettingsFile : public WindowTest {
  protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    static std::string read(const QString& file) {
        return testsupport::fileText(file.toStdString());
    }
    static void write(const QString& file, const QByteArray& bytes) {
        testsupport::writeFile(file.toStdString(), bytes);
    }
};

TEST_F(SettingsFile, SaveThenOpenRestoresTheWindow) {
    signsim::Sign& sign = bench.attachSign(1, {"XY12", "4"});
    sign.state().links = {{3, "1111", 2}, {6, "9", 4}};
    sign.state().userCommand = "RST";
    GlowsetMain& w = startAndSearch();
    choose("ColorP2", 7);
    control<QLineEdit>("TimeoutP4")->setText("45");
    w.SaveDefaultMsg("OPEN\r\nNOW", 5, 3, 0, 2, 1, 4);
    control<QCheckBox>("AutoID")->setCheckState(Qt::Unchecked);
    dialogs.fileAnswers = {path("sign.led")};
    control<QAction>("signSaveAs")->trigger();

    // Change everything, then open the file again.
    choose("ColorP2", 1);
    control<QLineEdit>("TimeoutP4")->setText("1");
    control<QLineEdit>("Capcode0_3")->setText("x");
    choose("Pri0_6", 0);
    choose("ComportsList", 5);
    w.SaveDefaultMsg("", 0, 0, 0, 0, 0, 0);
    control<QCheckBox>("AutoID")->setCheckState(Qt::Checked);
    control<QLabel>("LEDSignModel")->setText("OTHER");
    dialogs.fileAnswers = {path("sign.led")};
    control<QAction>("signOpenFile")->trigger();

    // Every control as saved; the default message and its codes in the button's tip.
    EXPECT_TRUE(testsupport::showsAsRecorded(w, "main-window-opened-from-file",
                                             {.replace = {{dir.path(), "<dir>"}}}));
    EXPECT_EQ(w.DefMsg, "OPEN\xAANOW");  // line breaks stay byte 170
    EXPECT_EQ(std::pair(w.LEDSignModelNumber, w.configFileName),
              std::pair(std::string("XY12"), path("sign.led")));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Suggestion");
    EXPECT_EQ(dialogs.messages[0].text,
              "It is Better to use Force Upload after opening up a file\r\n"
              "It will make sure that all the settings are written to the Sign");
    EXPECT_EQ(w.getDefaultMsg(), path("sign.led").toStdString() + ",OPEN\xAANOW,5,3,0,2,1,4");
    // A partly ticked id switch (2 in a file) is saved as it came; a link
    // of two capcodes keeps both, and comes back from its own file.
    write(path("two.led"), "AutoID:2\r\nLinkID3:1,2,1\r\n");
    write(path("again.led"), QByteArray(5000, 'x'));  // longer than what replaces it
    dialogs.fileAnswers = {path("two.led"), path("again.led")};
    control<QAction>("signOpenFile")->trigger();
    EXPECT_EQ(std::pair(textOf("Capcode0_3"), indexOf("Pri0_3")), std::pair(QString("1,2"), 1));
    control<QAction>("signSaveAs")->trigger();
    const std::string again = read(path("again.led"));
    EXPECT_NE(again.find("AutoID:2\r\n"), std::string::npos);
    EXPECT_NE(again.find("LinkID3:1,2,1\r\n"), std::string::npos);
    EXPECT_EQ(again.find('x'), std::string::npos);
}

TEST_F(SettingsFile, FailuresAndWhatStaysApplied) {
    const struct {
        const char* name;
        QByteArray contents;  // empty: the file does not exist
        QString message;      // start of the error message, "" for none
        int color0;           // ColorP0 afterwards (starts at 1)
    } cases[] = {
        {"missing file", {}, "Error 53 opening file.\r\n", 1},
        {"not a number", "Pri0:1,1,4,1,1,1,1,5\r\nCom:x\r\nPri0:1,1,6,1,1,1,1,5\r\n",
         "Error 13 opening file.\r\nLine 2: \"Com:\" needs a number", 4},
        {"position a list does not have", "Pri0:1,1,4,1,1,1,1,5\r\nPri1:1,1,99,1,1,1,1,5\r\n",
         "Error 380 opening file.\r\nColorP1 has no position 99.", 4},
        {"check box value", "AutoID:3\r\nPri0:1,1,4,1,1,1,1,5\r\n", "Error 380 opening file.", 1},
        {"port outside the list", "Com:13\r\n", "Error 380 opening file.", 1},
        {"position below -1", "Pri0:1,1,-2,1,1,1,1,5\r\n", "Error 380 opening file.", 1},
        {"nine fields are ignored", "Pri0:1,1,4,1,1,1,1,5,6\r\n", "", 1},
        {"empty file", "", "", 1},
        // There but not to be read (root reads any file: then it is read).
        {"unreadable", "Pri0:1,1,4,1,1,1,1,5\r\n",
         ::geteuid() == 0 ? "" : "Error 75 opening file.\r\n", ::geteuid() == 0 ? 4 : 1},
        {"a folder", {}, "Error 75 opening file.\r\n", 1},  // unreadable to root as well
    };
    for (const auto& c : cases) {
        GlowsetMain& w = startAndSearch();
        choose("ColorP0", 1);
        control<QPushButton>("SetupDefaultMsg")->setToolTip("before");
        const QString file = path(QString("case%1.led").arg(&c - cases));
        if (!c.contents.isNull()) write(file, c.contents);
        if (c.name == std::string("unreadable")) QFile::setPermissions(file, {});
        if (c.name == std::string("a folder")) QDir().mkpath(file);
        dialogs.messages.clear();
        dialogs.fileAnswers = {file};
        control<QAction>("signOpenFile")->trigger();
        ASSERT_EQ(dialogs.messages.size(), c.message.isEmpty() ? 1u : 2u) << c.name;
        if (!c.message.isEmpty()) {
            EXPECT_TRUE(dialogs.messages[0].text.startsWith(c.message))
                << c.name << ": " << dialogs.messages[0].text.toStdString();
            EXPECT_EQ(control<QPushButton>("SetupDefaultMsg")->toolTip(), "before") << c.name;
        } else {
            EXPECT_NE(control<QPushButton>("SetupDefaultMsg")->toolTip(), "before") << c.name;
        }
        EXPECT_EQ(dialogs.messages.back().title, "Suggestion") << c.name;
        EXPECT_EQ(indexOf("ColorP0"), c.color0) << c.name;
        EXPECT_EQ(w.configFileName, file) << c.name;  // set even when the load stopped
        window.reset();
    }
}

TEST_F(SettingsFile, CancelledAndFailingDialogs) {
    GlowsetMain& w = startAndSearch();
    dialogs.fileAnswers = {""};
    control<QAction>("signSaveAs")->trigger();
    EXPECT_EQ(dialogs.filters.at(0), "Text (*.led) | *.led");
    EXPECT_TRUE(dialogs.messages.empty());
    dialogs.fileAnswers = {""};
    control<QAction>("signOpenFile")->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Suggestion");
    EXPECT_TRUE(w.configFileName.isEmpty());
    dialogs.fileAnswers = {path("missing-folder/sign.led")};
    control<QAction>("signSaveAs")->trigger();
    EXPECT_EQ(dialogs.messages.at(1).text, "Error Saving File");
    w.show();
    control<QAction>("signExit")->trigger();  // File > Exit closes the window
    EXPECT_FALSE(w.isVisible());
}

// File filters as the dialogs are given them, written the way Qt reads them.
TEST(FileFilter, WrittenForQt) {
    EXPECT_EQ(qtFileFilter("Text (*.led) | *.led"), "Text (*.led)");
    EXPECT_EQ(qtFileFilter("ROM Files|*.rom"), "ROM Files (*.rom)");
}

// Appended to or emptied first (see Save As), each text with CR LF; false where unwritable.
TEST_F(SettingsFile, SaveTextToFileReplacesOrAppends) {
    GlowsetMain& w = startAndSearch();
    EXPECT_TRUE(w.SaveTextToFile(path("text.txt"), "one", true));
    EXPECT_TRUE(w.SaveTextToFile(path("text.txt"), "two", false));
    EXPECT_EQ(read(path("text.txt")), "one\r\ntwo\r\n");
    for (const bool overwrite : {true, false})
        EXPECT_FALSE(w.SaveTextToFile(path("no/such/dir.txt"), "x", overwrite)) << overwrite;
}

}  // namespace
}  // namespace glowset::testing
