// The trust store signature chains are checked against: the heading row's
// menu ends with a "Trust store" submenu that picks a PEM file or a folder of
// PEM files, or none. The choice is remembered and loaded again at start; a
// shown trust column is filled again at once.
#include "frmMain/frmMain.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include "VORN_STD_library/OnDemandCrypto.h"
#include "cDisk/ResultRow.h"
#include "platform/FolderPicker.h"

namespace {

const QString kSettingsSection = QStringLiteral("settings");
const QString kTrustKey = QStringLiteral("trust");
constexpr const char* kTrustFactKey = "trust";

std::string CellText(const grid::CellValue& cell)
{
    const auto* text = std::get_if<std::string>(&cell);
    return text ? *text : std::string();
}

} // namespace

QString frmMain::TrustStorePath() const
{
    return services_.settings->Read(kSettingsSection, kTrustKey, QString());
}

bool frmMain::SetTrustStorePath(const QString& path)
{
    std::shared_ptr<const VORN_STD_library::TrustStore> store;
    if (!path.isEmpty()) {
        std::string error;
        store = VORN_STD_library::on_demand::LoadTrustStore(path.toStdString(), error);
        if (!store) {
            services_.messages->ShowFailure(this, QStringLiteral("loading of the trust store"),
                                            QString::fromStdString(error));
            return false;
        }
    }
    VORN_STD_library::UseTrustStore(std::move(store));
    services_.settings->Write(kSettingsSection, kTrustKey, path);
    RefillTrustColumn();
    return true;
}

void frmMain::LoadRememberedTrustStore()
{
    const QString path = TrustStorePath();
    std::string error;
    std::shared_ptr<const VORN_STD_library::TrustStore> store;
    if (!path.isEmpty()) {
        store = VORN_STD_library::on_demand::LoadTrustStore(path.toStdString(), error);
        if (!store)
            services_.messages->ShowWarning(this, QStringLiteral("The trust store could not be loaded (%1); signature "
                                                                 "chains are not checked.")
                                                      .arg(QString::fromStdString(error)));
    }
    VORN_STD_library::UseTrustStore(std::move(store));
}

void frmMain::AddTrustStoreMenu(QMenu* menu)
{
    const QString path = TrustStorePath();
    menu->addSeparator();
    QMenu* trust = menu->addMenu(path.isEmpty() ? QStringLiteral("Trust store (none)")
                                                : QStringLiteral("Trust store (%1)").arg(QFileInfo(path).fileName()));
    trust->setToolTipsVisible(true);
    trust->setToolTip(QStringLiteral("Linux has no trust list for code signing: signature chains are checked only "
                                     "against the PEM certificates chosen here."));
    const QString start = path.isEmpty() ? QString() : QFileInfo(path).absolutePath();
    connect(trust->addAction(QStringLiteral("PEM file…")), &QAction::triggered, this, [this, start] {
        const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Trust store: PEM certificates"), start,
                                                          QStringLiteral("PEM certificates (*.pem *.crt *.cer);;All files (*)"));
        if (!file.isEmpty()) SetTrustStorePath(file);
    });
    connect(trust->addAction(QStringLiteral("Folder of PEM files…")), &QAction::triggered, this, [this, start] {
        const std::string folder = platform::PickFolder(
            {this, "Trust store: a folder of PEM certificates", false, QFile::encodeName(start).toStdString()});
        if (!folder.empty()) SetTrustStorePath(QFile::decodeName(folder.c_str()));
    });
    QAction* none = trust->addAction(QStringLiteral("None"));
    none->setEnabled(!path.isEmpty());
    connect(none, &QAction::triggered, this, [this] { SetTrustStorePath(QString()); });
}

void frmMain::RefillTrustColumn()
{
    grid::GridColumn* column = grid_.ColumnByKey(kTrustFactKey);
    if (column == nullptr) return;
    const int trustColumn = column->CellColumn();
    const int nameColumn = grid_.ColumnByKey("filename")->CellColumn();
    const int folderColumn = grid_.ColumnByKey("path")->CellColumn();
    const FactSelection only = {FindResultFact(kTrustFactKey)};
    for (int row = 0; row < grid_.RowCount(); ++row) {
        std::vector<grid::CellValue> cells = BuildResultRow(CellText(grid_.CellValueAt(row, folderColumn)),
                                                            CellText(grid_.CellValueAt(row, nameColumn)), only);
        grid_.SetCellValue(row, trustColumn, std::move(cells.front()));
    }
    grid_.Refresh();
}
