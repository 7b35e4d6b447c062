#include "controls/media/form_settings.h"

#include "controls/media/font_dialog.h"
#include "platform/qt/registry/reg_ini_file.h"
#include "support/test_env.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>

#include <gtest/gtest.h>
#include <memory>

namespace lumeno {
namespace {

const std::string kKey = "Software\\Lumeno Tests\\SettingsForm";

// A form with one control of every kind, plus an edit inside a panel.
struct Form {
    QWidget Window;
    QLineEdit* Edit1 = Make<QLineEdit>("Edit1");
    QPlainTextEdit* Memo1 = Make<QPlainTextEdit>("Memo1");
    QCheckBox* Check1 = Make<QCheckBox>("Check1");
    QRadioButton* Radio1 = Make<QRadioButton>("Radio1");
    QRadioButton* Radio2 = Make<QRadioButton>("Radio2");
    QListWidget* List1 = Make<QListWidget>("List1");
    QComboBox* Combo1 = Make<QComboBox>("Combo1");
    TFontDialog* FontDialog1 = Make<TFontDialog>("FontDialog1");
    QFrame* Panel1 = Make<QFrame>("Panel1");
    QLineEdit* PanelEdit = new QLineEdit(Panel1);
    TFormSettings* Settings = new TFormSettings(&Window);

    Form()
    {
        Window.setObjectName("SettingsForm");
        PanelEdit->setObjectName("PanelEdit");
        List1->addItems({"a", "b", "c"});
        Combo1->addItems({"x", "y", "z"});
        Radio1->setChecked(true);
        Settings->SetKeyName(kKey);
        Window.setGeometry(40, 50, 300, 200);
    }
    template <typename T> T* Make(const char* name)
    {
        auto* w = new T(&Window);
        w->setObjectName(name);
        return w;
    }
};

class FormSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { SetRegistryFolder(dir_.Path().string()); }
    void TearDown() override { SetRegistryFolder(""); }
    TRegIniFile Ini() { return TRegIniFile(kKey); }

private:
    test::TempDir dir_;
};

TEST_F(FormSettingsTest, ValuesRoundTripThroughTheRegistry)
{
    {
        Form f;
        f.Edit1->setText("hello");
        f.Memo1->setPlainText("two\nlines");
        f.Check1->setChecked(true);
        f.Radio2->setChecked(true);
        f.List1->setCurrentRow(2);
        f.Combo1->setCurrentIndex(1);
        QFont font("DejaVu Serif", 14);
        font.setItalic(true);
        font.setUnderline(true);
        f.FontDialog1->SetFont(font);
        f.PanelEdit->setText("inside the panel");
        f.Settings->SaveValues = true;
        f.Settings->Save();
    }
    TRegIniFile ini = Ini();
    EXPECT_EQ(ini.ReadString("Values", "Edit1", "?"), "hello");
    EXPECT_EQ(ini.ReadInteger("Values", "List1", -5), 2);
    EXPECT_EQ(ini.ReadString("Values", "FontDialog1_Name", "?"), "DejaVu Serif");
    EXPECT_EQ(ini.ReadInteger("Values", "FontDialog1_Size", 0), 14);
    EXPECT_EQ(ini.ReadInteger("Values", "FontDialog1_Color", -1), 0);
    // Only the root's own children are kept.
    EXPECT_EQ(ini.ReadString("Values", "PanelEdit", "absent"), "absent");
    EXPECT_EQ(ini.ReadString("Position", "WindowState", "?"), "NORMAL");

    Form g;
    g.Settings->LoadValues = true;
    g.Settings->Load();
    EXPECT_EQ(g.Edit1->text(), "hello");
    EXPECT_EQ(g.Memo1->toPlainText(), "two\nlines");
    EXPECT_TRUE(g.Check1->isChecked());
    EXPECT_FALSE(g.Radio1->isChecked());
    EXPECT_TRUE(g.Radio2->isChecked());
    EXPECT_EQ(g.List1->currentRow(), 2);
    EXPECT_EQ(g.Combo1->currentIndex(), 1);
    const QFont font = g.FontDialog1->Font();
    EXPECT_EQ(font.family(), "DejaVu Serif");
    EXPECT_EQ(font.pointSize(), 14);
    EXPECT_TRUE(font.italic());
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.bold());
    EXPECT_EQ(g.PanelEdit->text(), "");
}

TEST_F(FormSettingsTest, ValuesLoadOnlyWhenAskedAndMissingOnesChangeNothing)
{
    TRegIniFile ini = Ini();
    ini.WriteString("Values", "Edit1", "stored");
    ini.WriteInteger("Values", "Combo1", 7); // no such item
    Form f;
    f.Edit1->setText("typed");
    f.Check1->setChecked(true);
    f.Combo1->setCurrentIndex(2);
    f.Settings->Load();
    EXPECT_EQ(f.Edit1->text(), "typed");
    f.Settings->LoadValues = true;
    f.Settings->Load();
    EXPECT_EQ(f.Edit1->text(), "stored");
    EXPECT_TRUE(f.Check1->isChecked());
    EXPECT_EQ(f.Combo1->currentIndex(), 2);

    // Every kind is saved and loaded whatever the options hold.
    f.Settings->SaveValueOptions.clear();
    f.Edit1->setText("saved anyway");
    f.Settings->SaveValues = true;
    f.Settings->Save();
    EXPECT_EQ(Ini().ReadString("Values", "Edit1", "?"), "saved anyway");
    f.Edit1->setText("typed again");
    f.Settings->Load();
    EXPECT_EQ(f.Edit1->text(), "saved anyway");
    EXPECT_TRUE(Ini().ReadBool("Values", "Check1", false));
}

TEST_F(FormSettingsTest, MaximisedFormKeepsItsNormalBounds)
{
    {
        Form f;
        f.Settings->Save();
        f.Window.setGeometry(60, 70, 320, 240);
        f.Window.setWindowState(Qt::WindowMaximized);
        f.Settings->Save();
    }
    TRegIniFile ini = Ini();
    EXPECT_EQ(ini.ReadInteger("Position", "Left", 0), 40);
    EXPECT_EQ(ini.ReadInteger("Position", "Width", 0), 300);
    EXPECT_EQ(ini.ReadString("Position", "WindowState", "?"), "MAXIMIZED");

    Form g;
    g.Window.setGeometry(0, 0, 100, 100);
    g.Settings->Load();
    EXPECT_TRUE(g.Window.windowState() & Qt::WindowMaximized);
    g.Window.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(g.Window.geometry(), QRect(40, 50, 300, 200));
}

TEST_F(FormSettingsTest, WindowStateIsReadWithoutRegardToCase)
{
    const std::pair<std::string, Qt::WindowState> cases[] = {{"maximized", Qt::WindowMaximized},
                                                             {"sideways", Qt::WindowNoState}};
    for (const auto& [text, state] : cases) {
        Ini().WriteString("Position", "WindowState", text);
        Form f;
        f.Window.setWindowState(Qt::WindowMaximized);
        f.Settings->Load();
        EXPECT_EQ(f.Window.windowState(), Qt::WindowStates(state)) << text;
    }
}

TEST_F(FormSettingsTest, RestoredWindowStaysOnAScreen)
{
    TRegIniFile ini = Ini();
    ini.WriteInteger("Position", "Left", -5000);
    ini.WriteInteger("Position", "Top", 90000);
    ini.WriteInteger("Position", "Width", 200);
    ini.WriteString("Position", "Height", "tall"); // not a number: the current height stays
    Form f;
    f.Settings->Load();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(f.Window.geometry()))
        << f.Window.geometry().x() << "," << f.Window.geometry().y();
    EXPECT_EQ(f.Window.width(), 200);
    EXPECT_EQ(f.Window.height(), 200);

    const QList<QRect> screens{QRect(0, 0, 1000, 800), QRect(1000, 0, 1000, 800)};
    EXPECT_EQ(KeepOnScreen(QRect(1100, 100, 300, 200), screens), QRect(1100, 100, 300, 200));
    EXPECT_EQ(KeepOnScreen(QRect(1900, 700, 300, 200), screens), QRect(1700, 600, 300, 200));
    EXPECT_EQ(KeepOnScreen(QRect(-400, -50, 300, 200), screens), QRect(0, 0, 300, 200));
    EXPECT_EQ(KeepOnScreen(QRect(10, 10, 1500, 200), screens), QRect(0, 10, 1000, 200));
}

TEST_F(FormSettingsTest, DefaultKeyNameAndRoot)
{
    Form f;
    f.Settings->SetKeyName("");
    EXPECT_EQ(f.Settings->KeyName(),
              "Software\\" + QGuiApplication::applicationDisplayName().toStdString() + "\\SettingsForm");

    // A panel as the root keeps only the panel's controls.
    f.Settings->SetKeyName(kKey);
    f.Settings->RootControl = f.Panel1;
    f.Settings->SaveValues = true;
    f.PanelEdit->setText("panel value");
    f.Settings->Save();
    EXPECT_EQ(Ini().ReadString("Values", "PanelEdit", "?"), "panel value");
    EXPECT_EQ(Ini().ReadString("Values", "Edit1", "absent"), "absent");

    // Settings on something that is not a form keep nothing.
    TFormSettings orphan(f.Panel1);
    orphan.SetKeyName("Software\\Lumeno Tests\\Loose");
    orphan.Save();
    EXPECT_EQ(TRegIniFile("Software\\Lumeno Tests\\Loose").ReadString("Position", "WindowState", "none"),
              "none");
}

} // namespace
} // namespace lumeno
