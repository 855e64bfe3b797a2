// A real main window with recording stand-ins for the desktop services: a
// settings store of its own, a hand-off and message box that only record, a
// test-controlled yield, and temporary export folders.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "frmMain/frmMain.h"
#include "platform/FolderPicker.h"

struct RecordingHandOff final : desktop::FileHandOff {
    std::vector<std::string> opened;
    void OpenWithAssociatedApplication(const std::string& filePath) override { opened.push_back(filePath); }
};

struct RecordingMessages final : desktop::UserMessages {
    std::vector<std::pair<QString, QString>> shown;
    void ShowFailure(QWidget*, const QString& operation, const QString& cause) override
    {
        shown.emplace_back(operation, cause);
    }
    std::vector<QString> warnings;
    void ShowWarning(QWidget*, const QString& text) override { warnings.push_back(text); }
};

struct ScriptedFolderPicker final : platform::FolderPicker {
    std::string answer;
    std::vector<platform::FolderPickerRequest> requests;
    std::string PickFolder(const platform::FolderPickerRequest& request) override
    {
        requests.push_back(request);
        return answer;
    }
};

class WindowTest : public testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Creates the window (running its start-up) with the services below.
    frmMain& OpenWindow();

    // The settings store under a name of this test's own.
    desktop::QtSettingsStore& Settings() { return *settings_; }

    // Writes a file of `size` bytes, creating its folders.
    void WriteFile(const QString& relativePath, int size = 10);
    QString TreePath() const { return tree_.path(); }

    // Runs a search over `path` with the given filter and recursion.
    void Search(const QString& path, const QString& filter, bool recurse = true);

    std::string CellText(int row, int cellColumn);

    std::shared_ptr<desktop::QtSettingsStore> settings_;
    std::shared_ptr<RecordingHandOff> handOff_ = std::make_shared<RecordingHandOff>();
    std::shared_ptr<RecordingMessages> messages_ = std::make_shared<RecordingMessages>();
    std::shared_ptr<ScriptedFolderPicker> picker_ = std::make_shared<ScriptedFolderPicker>();
    // Save as: the file the "dialog" answers (empty: cancelled) and the
    // extension of the filter it picks; the filters it was offered are kept.
    QString saveAnswer;
    QString saveExtension = QStringLiteral("xls");
    QStringList offeredFilters;
    // Compare with: the file the open "dialog" answers (empty: cancelled).
    QString openAnswer;
    // Called at every yield during a search; empty: nothing happens.
    std::function<void()> onYield;
    QTemporaryDir tree_;
    QTemporaryDir programFolder_;
    QTemporaryDir documentsFolder_;
    std::string programFolderPath;
    std::string documentsFolderPath;
    std::unique_ptr<frmMain> window;

private:
    std::shared_ptr<platform::FolderPicker> previousPicker_;
};
