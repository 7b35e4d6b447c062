#pragma once
// A fresh main window per test: private settings, an empty bookmark file
// and a folder of small pictures; message boxes are recorded.

#include "app/common/settings_store.h"
#include "app/viewer/bookmarks.h"
#include "app/viewer/main_window.h"
#include "imagelib/pg_startup_qt.h"
#include "platform/qt/registry/registry.h"
#include "support/recording_dialogs.h"
#include "support/test_env.h"

#include <QCoreApplication>
#include <QImage>
#include <QTreeWidget>

#include <filesystem>
#include <gtest/gtest.h>

namespace lumeno::test {

class MainWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { PGStartupAllFormats(); }

    void SetUp() override
    {
        SetRegistryFolder(registry_.Path().string());
        std::filesystem::remove(BookmarkFilePath());
        Store("Directory", pics_.Path().string());
    }

    void TearDown() override
    {
        FreeForm1();
        SetRegistryFolder("");
        std::filesystem::remove(BookmarkFilePath());
    }

    void Store(const std::string& name, const std::string& value) { TSettingsStore().WriteSetting(name, value); }
    std::string Stored(const std::string& name) { return TSettingsStore().ReadSetting(name, "<none>"); }

    void Picture(const std::string& name, int w = 64, int h = 48, const char* format = nullptr)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(QString::fromStdString(pics_.File(name)), format));
    }

    TForm1& Open(const std::string& startFile = "")
    {
        CreateForm1();
        Form1()->SetStartFile(startFile);
        Form1()->show();
        Drain();
        return *Form1();
    }

    static void Drain()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QStringList Captions() const
    {
        QStringList names;
        for (int i = 0; i < Form1()->SLV1->topLevelItemCount(); ++i)
            names << Form1()->SLV1->topLevelItem(i)->text(0);
        return names;
    }

    void Select(const QStringList& names)
    {
        QTreeWidget* list = Form1()->SLV1;
        list->clearSelection();
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            if (names.contains(list->topLevelItem(i)->text(0)))
                list->topLevelItem(i)->setSelected(true);
        Drain();
    }

    std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const TDialogRequest& r : dialogs_.Shown())
            texts.push_back(r.Text);
        return texts;
    }

    TempDir registry_;
    TempDir pics_;
    RecordingDialogs dialogs_;
};

} // namespace lumeno::test
