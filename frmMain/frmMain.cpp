// The window's controls at their design places, the start-up sequence and
// the shut-down sequence.
#include "frmMain/frmMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <algorithm>
#include <stdexcept>

#include "VORN_STD_library/PathHelpers.h"
#include "frmMain/LineControl.h"
#include "grid/ResultColumns.h"
#include "grid/ResultGridModel.h"
#include "grid/ResultGridView.h"
#include "platform/desktop/Twips.h"

namespace {

const QString kSettingsSection = QStringLiteral("settings");
const QString kLastFilterKey = QStringLiteral("lastfilter");
const QString kLastPathKey = QStringLiteral("lastpath");
const QString kHiddenFoldersKey = QStringLiteral("hiddenfolders");
const QString kExecutablesKey = QStringLiteral("executables");
const QString kGeometryKey = QStringLiteral("geometry");
const QString kColumnWidthsKey = QStringLiteral("columnwidths");
const QString kDefaultFilter = QStringLiteral("*.exe;*.ocx;*.dll");
const QString kDefaultPath = QStringLiteral("/");

// Design places in twips.
struct DesignRect {
    double left, top, width, height;
};

QFont DesignFont(const QString& family)
{
    QFont font(family);
    font.setPointSizeF(8.25);
    font.setWeight(QFont::Normal);
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

void PlaceAtDesign(QWidget& control, const DesignRect& rect, const desktop::TwipsScale& scale)
{
    control.setGeometry(scale.ToPixelsX(rect.left), scale.ToPixelsY(rect.top), scale.ToPixelsX(rect.width),
                        scale.ToPixelsY(rect.height));
}

// Captions and the check box take the system window colours.
void UseWindowColours(QWidget& control)
{
    QPalette colours = control.palette();
    const QColor window = colours.color(QPalette::Base);
    colours.setColor(QPalette::Window, window);
    colours.setColor(QPalette::Button, window);
    colours.setColor(QPalette::WindowText, colours.color(QPalette::Text));
    control.setPalette(colours);
    control.setBackgroundRole(QPalette::Window);
    control.setAutoFillBackground(true);
}

// A caption label grows to show its whole caption in the font at hand.
void FitCaption(QLabel& label)
{
    label.resize(std::max(label.width(), label.sizeHint().width()), label.height());
}

} // namespace

frmMain::frmMain(WindowServices services, QWidget* parent)
    : QWidget(parent), services_(std::move(services)), model_(std::make_unique<grid::ResultGridModel>(grid_))
{
    CreateControls();
    CreateKeys();
    CreateRowActions();
    SetTabOrder();
    Form_Load();
}

frmMain::~frmMain()
{
    // The view lets go of the model before the model goes.
    grd_->SetModel(nullptr);
    model_->SetFileIcons(nullptr);
}

void frmMain::CreateControls()
{
    const desktop::TwipsScale scale = desktop::TwipsScale::ForWidget(*this);
    setFont(DesignFont(QStringLiteral("Segoe UI")));
    // The form is white in every colour scheme, so what is drawn straight on
    // it is drawn in black.
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    background.setColor(QPalette::WindowText, Qt::black);
    setPalette(background);
    setAutoFillBackground(true);
    resize(scale.ToPixelsX(13290), scale.ToPixelsY(8550));

    lbl_[0] = new QLabel(QStringLiteral("Search path or file list"), this);
    PlaceAtDesign(*lbl_[0], {120, 660, 1680, 195}, scale);
    txt_[1] = new QLineEdit(this);
    PlaceAtDesign(*txt_[1], {120, 900, 3075, 315}, scale);
    cmd_[kBrowse] = new QPushButton(QStringLiteral("..."), this);
    cmd_[kBrowse]->setFont(DesignFont(QStringLiteral("Tahoma")));
    PlaceAtDesign(*cmd_[kBrowse], {3240, 900, 315, 315}, scale);
    chk99_ = new QCheckBox(QStringLiteral("Subfolders"), this);
    chk99_->setChecked(true);
    PlaceAtDesign(*chk99_, {120, 1320, 3375, 255}, scale);
    lbl_[1] = new QLabel(QStringLiteral("Search filter:"), this);
    PlaceAtDesign(*lbl_[1], {120, 1740, 960, 195}, scale);
    txt_[0] = new QLineEdit(this);
    PlaceAtDesign(*txt_[0], {120, 1980, 3315, 315}, scale);
    // In the gap between the filter and "search", unticked unless the user
    // asked for hidden folders before.
    chkHidden_ = new QCheckBox(QStringLiteral("Hidden folders"), this);
    PlaceAtDesign(*chkHidden_, {120, 2340, 1635, 255}, scale);
    // Beside it: only files whose content starts as an image, whatever their
    // names; the filter still applies.
    chkExecutables_ = new QCheckBox(QStringLiteral("Executables"), this);
    PlaceAtDesign(*chkExecutables_, {1800, 2340, 1635, 255}, scale);
    cmd_[kSearch] = new QPushButton(QStringLiteral("search"), this);
    PlaceAtDesign(*cmd_[kSearch], {1080, 2640, 1275, 375}, scale);
    cmd_[kCancel] = new QPushButton(QStringLiteral("cancel"), this);
    PlaceAtDesign(*cmd_[kCancel], {1080, 3120, 1275, 375}, scale);
    cmd_[kExport] = new QPushButton(QStringLiteral("export"), this);
    PlaceAtDesign(*cmd_[kExport], {1080, 3720, 1275, 375}, scale);
    for (QWidget* control : {static_cast<QWidget*>(lbl_[0]), static_cast<QWidget*>(lbl_[1]),
                             static_cast<QWidget*>(chk99_), static_cast<QWidget*>(chkHidden_),
                             static_cast<QWidget*>(chkExecutables_)}) {
        UseWindowColours(*control);
    }
    FitCaption(*lbl_[0]);
    FitCaption(*lbl_[1]);

    grd_ = new grid::ResultGridView(this);
    grd_->SetModel(model_.get());
    model_->SetFileIcons(&icons_);
    grd_->SetFillColumnKey(QStringLiteral("path"));
    grd_->Place(3540, 0, 9615, 7035);
    lin_ = new LineControl(this);
    lblInfo_ = new QLabel(QStringLiteral("$lblinfo"), this);
    // The status line keeps the platform's own colours on a surface of its
    // own, not the platform's text colour on the white form.
    lblInfo_->setAutoFillBackground(true);
    QPalette platformColours = lblInfo_->palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::WindowText})
        platformColours.setColor(role, QApplication::palette().color(role));
    lblInfo_->setPalette(platformColours);
    PlaceAtDesign(*lblInfo_, {120, 8160, 5865, 195}, scale);

    for (int index = 0; index < static_cast<int>(cmd_.size()); ++index) {
        connect(cmd_[index], &QPushButton::clicked, this, [this, index] { cmd_Click(index); });
    }
    connect(grd_, &grid::ResultGridView::columnNotification, this,
            [this](int position) { grd_ColumnNotification(position); });
    connect(grd_, &grid::ResultGridView::headingMenuRequested, this, &frmMain::ShowHeadingMenu);
    connect(grd_, &grid::ResultGridView::groupingChanged, this, &frmMain::SaveGrouping);
    connect(grd_, &grid::ResultGridView::filterApplied, this, &frmMain::ShowFilterStatus);
}

void frmMain::SetTabOrder()
{
    QWidget* const order[] = {txt_[0], txt_[1], chk99_, cmd_[kBrowse], cmd_[kSearch],
                              cmd_[kExport], cmd_[kCancel], grd_->Table(), chkHidden_, chkExecutables_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

void frmMain::Form_Load()
{
    show();
    setWindowTitle(QStringLiteral("VORN Lumbrel ") + QString::fromStdString(VORN_STD_library::AppVersionText()));
    txt_[0]->setText(services_.settings->Read(kSettingsSection, kLastFilterKey, kDefaultFilter));
    txt_[1]->setText(services_.settings->Read(kSettingsSection, kLastPathKey, kDefaultPath));
    chkHidden_->setChecked(services_.settings->Read(kSettingsSection, kHiddenFoldersKey, QStringLiteral("0")) ==
                           QStringLiteral("1"));
    chkExecutables_->setChecked(services_.settings->Read(kSettingsSection, kExecutablesKey, QStringLiteral("0")) ==
                                QStringLiteral("1"));
    lblInfo_->setText(QStringLiteral("Ready."));
    cmd_[kSearch]->setEnabled(true);
    cmd_[kCancel]->setEnabled(false);
    cmd_[kExport]->setEnabled(false);
    SetUpGridColumns(RememberedFacts());
    LoadRememberedTrustStore();
    RestoreGrouping();
    RestoreWindowPlacement();
    grid_.Refresh();
    activateWindow();
    txt_[0]->setFocus(Qt::OtherFocusReason);
}

void frmMain::SaveSettings()
{
    services_.settings->Write(kSettingsSection, kLastFilterKey, txt_[0]->text());
    services_.settings->Write(kSettingsSection, kLastPathKey, txt_[1]->text());
    services_.settings->Write(kSettingsSection, kHiddenFoldersKey,
                              chkHidden_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    services_.settings->Write(kSettingsSection, kExecutablesKey,
                              chkExecutables_->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    SaveWindowPlacement();
}

void frmMain::SaveWindowPlacement()
{
    services_.settings->Write(kSettingsSection, kGeometryKey, QString::fromLatin1(saveGeometry().toBase64()));
    QStringList widths;
    const QMap<QString, int> dragged = grd_->UserColumnWidths();
    for (auto width = dragged.constBegin(); width != dragged.constEnd(); ++width)
        widths.append(width.key() + QLatin1Char('=') + QString::number(width.value()));
    services_.settings->Write(kSettingsSection, kColumnWidthsKey, widths.join(QLatin1Char(',')));
}

void frmMain::RestoreWindowPlacement()
{
    const QString geometry = services_.settings->Read(kSettingsSection, kGeometryKey, QString());
    if (!geometry.isEmpty()) restoreGeometry(QByteArray::fromBase64(geometry.toLatin1()));
    // "key=pixels,..."; anything else in the setting is passed over.
    QMap<QString, int> widths;
    for (const QString& entry : services_.settings->Read(kSettingsSection, kColumnWidthsKey, QString())
                                    .split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList parts = entry.split(QLatin1Char('='));
        bool number = false;
        const int pixels = parts.size() == 2 ? parts[1].toInt(&number) : 0;
        if (number && pixels > 0 && pixels <= 100000) widths.insert(parts[0], pixels);
    }
    grd_->SetUserColumnWidths(widths);
}

void frmMain::closeEvent(QCloseEvent* event)
{
    try {
        SaveSettings();
    } catch (const std::exception& failure) {
        ReportFailure(QStringLiteral("saving of the settings"), failure);
    }
    if (dsk_) {
        // The walk unwinds inside the "search" click, which then ends the
        // program instead of running its tail.
        closing_ = true;
        dsk_->StopSearch();
    }
    event->accept();
}

QPushButton* frmMain::cmd(int index) const
{
    return cmd_.at(static_cast<std::size_t>(index));
}

QLineEdit* frmMain::txt(int index) const
{
    return txt_.at(static_cast<std::size_t>(index));
}

QLabel* frmMain::lbl(int index) const
{
    return lbl_.at(static_cast<std::size_t>(index));
}

QCheckBox* frmMain::chk(int index) const
{
    if (index != kSubfoldersIndex) throw std::out_of_range("no check box with index " + std::to_string(index));
    return chk99_;
}
