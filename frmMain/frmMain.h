// The program's one window: the search form on the left (path, subfolders,
// filter, the four buttons), the result table on the right, the status line
// at the bottom. It runs the search inside the "search" click, with nested
// yields to the event loop so cancel, browse, sorting, painting and closing
// all work while the walk runs.
#pragma once

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "cDisk/ResultFacts.h"
#include "cDisk/cDisk.h"
#include "frmMain/WindowServices.h"
#include "grid/FileIconCache.h"
#include "grid/ResultColumns.h"
#include "grid/ResultGrid.h"

class PropertiesDialog;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPoint;
class QPushButton;
class LineControl;

namespace grid {
class ResultGridModel;
class ResultGridView;
} // namespace grid

class frmMain : public QWidget, private cDiskEvents {
    Q_OBJECT
public:
    static constexpr int kSearch = 0;
    static constexpr int kCancel = 1;
    static constexpr int kExport = 2;
    static constexpr int kBrowse = 3;
    static constexpr int kSubfoldersIndex = 99;

    // Builds the controls and runs the start-up sequence, which shows the
    // window first.
    explicit frmMain(WindowServices services, QWidget* parent = nullptr);
    ~frmMain() override;

    // The controls by kind and index, as the commands address them. An index
    // that names no control throws std::out_of_range.
    QPushButton* cmd(int index) const;
    QLineEdit* txt(int index) const;
    QLabel* lbl(int index) const;
    QCheckBox* chk(int index = kSubfoldersIndex) const;
    // Whether folders whose names begin with "." are searched too.
    QCheckBox* chkHidden() const { return chkHidden_; }
    QCheckBox* chkExecutables() const { return chkExecutables_; }
    QLabel* lblInfo() const { return lblInfo_; }
    grid::ResultGridView* grd() const { return grd_; }
    LineControl* lin() const { return lin_; }
    grid::ResultGrid& Grid() { return grid_; }

    // Folders entered over the window's whole life.
    std::int32_t FolderCounter() const { return folderCounter_; }
    // True from a "search" click until its walk has returned.
    bool Searching() const { return dsk_ != nullptr; }

    // The shared click handler of the four buttons; any other index runs only
    // the command tail.
    void cmd_Click(int Index);
    // Sorts the table by the column at this 1-based position.
    void grd_ColumnNotification(int position);

    // The heading row's menu: every fact, checked when its column is shown.
    QMenu* BuildHeadingMenu();
    // Shows or hides the fact's column, adding and filling it when the table
    // has none yet; the last shown column cannot be hidden.
    void SetFactShown(const std::string& key, bool show);

    // The trust store signature chains are checked against (a PEM file or
    // folder; empty: none), remembered in the settings. Setting one that
    // cannot be loaded shows why and keeps the one in use.
    QString TrustStorePath() const;
    bool SetTrustStorePath(const QString& path);

    // Fits the line, the table and the status line to the client area.
    void LayoutControls();

    // The rows' context menu: Copy, Copy full path, Open containing folder,
    // Properties, Save as, Compare with and Clear comparison
    // (frmMainRowActions.cpp, frmMainSaveAs.cpp, frmMainCompare.cpp).
    QMenu* BuildRowMenu();
    // The selected rows, in view order, as tab-separated text under a
    // heading line of the shown columns.
    QString SelectedRowsText() const;
    void CopySelectedRows();
    void CopyFullPaths();
    void OpenContainingFolder();
    // Opens (without waiting) the properties of this table row.
    PropertiesDialog* ShowProperties(int gridRow);
    // Writes the shown columns, rows in view order, to a file and in a
    // format the user chooses.
    void SaveAsCommand();

    // Compare with (frmMainCompare.cpp): adds the Change column and the rows
    // of files only in the saved inventory. A file that cannot be read as an
    // inventory is named in a warning and changes nothing; returns whether
    // the comparison is shown.
    bool CompareWith(const QString& inventoryPath);
    // Removes the Change column and the removed files' rows, if shown.
    void ClearComparison();
    bool Comparing() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateControls();
    void SetTabOrder();
    void Form_Load();
    // Makes the table's columns: the shown facts in order, then the file
    // name and folder, hidden, where they are not among them.
    void SetUpGridColumns(const FactSelection& shown);
    FactSelection RememberedFacts() const;
    FactSelection ShownFacts() const;
    void SaveShownColumns();
    void ShowHeadingMenu(const QPoint& globalPosition);
    // Grouping (frmMainGrouping.cpp): the heading menu's grouping entries for
    // the column at this 0-based index (-1: none), and the grouping columns
    // remembered between runs.
    void AddGroupingActions(QMenu& menu, int column);
    void RestoreGrouping();
    void SaveGrouping();
    // The quick filter's status line (frmMainFilter.cpp): "N of M files
    // shown." while a filter is set, the text it replaced once it is cleared.
    void ShowFilterStatus();
    void AddFilledColumn(const ResultFact& fact);
    // Before a search: columns hidden since the last one are dropped, so no
    // fact is read that is not shown (the file name and folder excepted).
    void DropHiddenColumns();
    void AddTrustStoreMenu(QMenu* menu);
    void LoadRememberedTrustStore();
    void RefillTrustColumn();
    void SaveSettings();

    // Returns false when the search ends without its tail: the window was
    // closed during the walk, or the start folder or filter was refused (the
    // status line then names the problem and the rows stay).
    bool SearchCommand();
    void CancelCommand();
    void ExportCommand();
    void BrowseCommand();
    void CommandTail();
    void SetIdleButtons();
    void ReportFailure(const QString& operation, const std::exception& failure);

    // Returns the file written; cutCells receives how many cell texts were
    // cut to the workbook's cell limit.
    std::string ExportToFolder(const std::string& folder, const std::string& date, std::uint64_t& cutCells);

    void EnforceMinimumSize();
    // The larger of the design minimum and what shows the whole left-hand
    // band and one row of the table, as an outer size in pixels.
    QSize MinimumOuterSize() const;

    // The keyboard (frmMainKeys.cpp): Enter, Esc, F5, Ctrl+S, Ctrl+C.
    void CreateKeys();
    void SearchFromKeyboard();
    void CreateRowActions();
    void CreateCompareActions();
    // Adds a fact's filled column ahead of the Change column, if one is shown.
    void AddFactColumnKeepingComparison(const ResultFact& fact);
    // The Change column for Save as, when one is shown.
    void AppendComparisonColumn(std::vector<grid::ResultColumn>& columns, std::vector<int>& cellColumns) const;
    // The folder and name of a table row's file.
    std::string RowFolder(int gridRow) const;
    std::string RowName(int gridRow) const;
    void SaveWindowPlacement();
    void RestoreWindowPlacement();

    // Events of dsk.
    void PathChange(std::string& CurrentPath) override;
    void Progress(std::string& CurrentPath, std::string& CurrentFile, std::int32_t& FileFound, double& ByteFound,
                  bool& Cancel) override;
    void dsk_PathChange(const std::string& CurrentPath);
    void dsk_progress(const std::string& CurrentPath, const std::string& CurrentFile, std::int32_t FileFound);

    WindowServices services_;
    grid::ResultGrid grid_;
    // The facts the table shows, one column each, in column order.
    FactSelection resultFacts_ = DefaultFactSelection();
    // The last search's start folder, ending in "/": where relative paths start.
    std::string searchRoot_;
    std::unique_ptr<grid::ResultGridModel> model_;
    grid::FileIconCache icons_;
    // The status text a filter's count replaced, shown again when it is cleared.
    QString statusBeforeFilter_;

    std::array<QPushButton*, 4> cmd_{};
    std::array<QLineEdit*, 2> txt_{};
    std::array<QLabel*, 2> lbl_{};
    QCheckBox* chk99_ = nullptr;
    QCheckBox* chkHidden_ = nullptr;
    QCheckBox* chkExecutables_ = nullptr;
    QLabel* lblInfo_ = nullptr;
    grid::ResultGridView* grd_ = nullptr;
    LineControl* lin_ = nullptr;

    QAction* copyAction_ = nullptr;
    QAction* copyPathAction_ = nullptr;
    QAction* openFolderAction_ = nullptr;
    QAction* propertiesAction_ = nullptr;
    QAction* saveAsAction_ = nullptr;
    QAction* compareAction_ = nullptr;
    QAction* clearComparisonAction_ = nullptr;

    std::unique_ptr<cDisk> dsk_;
    std::int32_t folderCounter_ = 0;
    bool closing_ = false;
    // The rows in the table are those of a cancelled search.
    bool searchCancelled_ = false;
    // Where the last export went, for the status line; emptied once shown.
    QString savedTo_;
};
