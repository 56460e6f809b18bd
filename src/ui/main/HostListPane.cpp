// The host list view: columns, rows, active marks and sorting.
#include "HostListPane.h"

#include <algorithm>
#include <mutex>
#include <string_view>
#include <tuple>

#include <QCoreApplication>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>

#include "ColorValues.h"
#include "HostTableModel.h"
#include "ListLocks.h"
#include "MarkDelegate.h"
#include "MarkImages.h"
#include "PondelDlg.h"
#include "VendorDirectory.h"

namespace pondel {
namespace {

static_assert(HostTableModel::kColumnCount == 8, "sortDescending_ holds a flag a column");

constexpr int kMarkSize = 16;

const char* const kHeaders[HostTableModel::kColumnCount] = {
    QT_TRANSLATE_NOOP("pondel::CPondelDlg", " Active"),
    QT_TRANSLATE_NOOP("pondel::CPondelDlg", "Host Name"),
    QT_TRANSLATE_NOOP("pondel::CPondelDlg", "Comment"),
    QT_TRANSLATE_NOOP("pondel::CPondelDlg", "IP Address"),
    QT_TRANSLATE_NOOP("pondel::CPondelDlg", "Netmask"),
    QT_TRANSLATE_NOOP("pondel::CPondelDlg", "MAC Address"),
    QT_TRANSLATE_NOOP("pondel::CPondelDlg", "Vendor"),
    QT_TRANSLATE_NOOP("pondel::CPondelDlg", "Group"),
};

int MarkIndent(int columnWidth)
{
    return std::max(0, (columnWidth - kMarkSize) / 2);
}

MarkStyle StyleOf(const AppSettings& settings)
{
    return MarkStyle{settings.activeMarkType != 0, QString::fromStdString(settings.activeMarkText),
        ToQColor(settings.activeMarkTextColor), ToQColor(settings.activeMarkBackColor)};
}

// Whether a stored number has digits at all: "x" would read as row 0.
bool HoldsNumber(std::string_view text)
{
    std::size_t at = text.find_first_not_of(" \t");
    if (at != std::string_view::npos && (text[at] == '-' || text[at] == '+'))
        ++at;
    return at < text.size() && text[at] >= '0' && text[at] <= '9';
}

} // namespace

HostListPane::HostListPane(CPondelDlg& window, const std::filesystem::path& settingsPath,
    AppSettings& settings, HostList& hosts, ListLocks& locks)
    : window_(window)
    , settings_(settings)
    , hosts_(hosts)
    , locks_(locks)
{
    SetUpModel(settingsPath);
    SetUpView();
    SetUpColumns();
    window_.setCentralWidget(view_);
}

HostListPane::~HostListPane()
{
    // The model belongs to the window and may outlive the registry.
    model_->SetVendorLookup({});
}

void HostListPane::SetUpModel(const std::filesystem::path& settingsPath)
{
    model_ = new HostTableModel(&window_);
    QStringList headers;
    for (const char* header : kHeaders)
        headers.append(CPondelDlg::tr(header));
    model_->SetHeaders(headers);
    const std::filesystem::path folders[] = {settingsPath.parent_path(),
        std::filesystem::path(QCoreApplication::applicationDirPath().toStdString())};
    const MarkImages marks = LoadMarkImages(folders, settings_.activeImgMaskColor);
    model_->SetMarkImages(marks.inactive, marks.active);
    model_->SetMarkStyle(StyleOf(settings_));
    // The registry is read on a thread of its own the first time a tooltip
    // or the Vendor column asks; until then they go without vendor names,
    // and once it is read the rows show them.
    vendors_ = std::make_unique<VendorDirectory>(settings_.vendorRegistryFolder.empty()
            ? std::filesystem::path(kVendorRegistryFolder)
            : std::filesystem::path(settings_.vendorRegistryFolder));
    vendors_->SetReadNotice([model = model_] {
        QMetaObject::invokeMethod(
            model, [model] { model->VendorsRead(); }, Qt::QueuedConnection);
    });
    model_->SetVendorLookup([vendors = vendors_.get()](const char* mac) {
        return QString::fromStdString(vendors->FindText(mac));
    });
}

void HostListPane::SetUpView()
{
    view_ = new QTableView(&window_);
    view_->setObjectName(QStringLiteral("hostListView"));
    view_->setModel(model_);
    view_->setItemDelegate(new MarkDelegate(view_));
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setShowGrid(true);
    view_->setWordWrap(false);
    view_->setCornerButtonEnabled(false);
    view_->setTabKeyNavigation(false);
    view_->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // A double-click on a row edits it, as list tools do, through the
    // command itself, which refuses while a sweep holds the list.
    QObject::connect(
        view_, &QAbstractItemView::doubleClicked, &window_, [this](const QModelIndex& index) {
            view_->selectionModel()->select(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            window_.RunCommand(CommandId::kEdit);
        });

    // Every row LIST_ROW_HEIGHT pixels high; fixed heights also keep a long
    // list quick to scroll.
    QHeaderView* rows = view_->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(
        static_cast<int>(std::max<std::uint32_t>(settings_.listRowHeight, 1)));
}

void HostListPane::SetUpColumns()
{
    QHeaderView* columns = view_->horizontalHeader();
    columns->setHighlightSections(false);
    columns->setSectionsClickable(true);
    columns->setStretchLastSection(false);
    columns->setMinimumSectionSize(0);
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QObject::connect(columns, &QHeaderView::sectionClicked, &window_,
        [this](int column) { window_.SortByColumn(column); });
    QObject::connect(columns, &QHeaderView::sectionResized, &window_, [this](int column) {
        if (column == 0 && !model_->Style().textMode)
            QMetaObject::invokeMethod(
                &window_, [this] { RecenterMarkIcons(); }, Qt::QueuedConnection);
    });

    ColumnWidths widths = settings_.columnWidths;
    const ColumnWidths measured = MeasuredColumnWidths();
    for (std::size_t column = 0; column < widths.size(); ++column) {
        if (widths[column] == 0)
            widths[column] = measured[column];
    }
    settings_.columnWidths = widths;
    ApplyColumnWidths(widths);
    model_->SetMarkIndent(MarkIndent(widths[0]));
    ApplyVendorColumn();
    columns->resizeSection(HostTableModel::kGroupColumn,
        settings_.groupColumnWidth > 0 ? settings_.groupColumnWidth : MeasuredGroupWidth());
}

void HostListPane::ApplyVendorColumn()
{
    QHeaderView* columns = view_->horizontalHeader();
    const int column = HostTableModel::kVendorColumn;
    if (settings_.vendorColumn == 0) {
        if (!columns->isSectionHidden(column))
            settings_.vendorColumnWidth = VendorColumnWidth();
        columns->setSectionHidden(column, true);
        return;
    }
    if (settings_.vendorColumnWidth == 0) {
        const QFontMetrics metrics(view_->font());
        settings_.vendorColumnWidth = static_cast<std::int32_t>(
            metrics.horizontalAdvance(QStringLiteral("AAAAAAAAAABBBBBBBBBB")) * 1.15);
    }
    columns->setSectionHidden(column, false);
    columns->resizeSection(column, std::max(0, settings_.vendorColumnWidth));
    vendors_->StartReading();
}

std::int32_t HostListPane::VendorColumnWidth() const
{
    const QHeaderView* columns = view_->horizontalHeader();
    if (columns->isSectionHidden(HostTableModel::kVendorColumn))
        return settings_.vendorColumnWidth;
    return columns->sectionSize(HostTableModel::kVendorColumn);
}

int HostListPane::MeasuredGroupWidth() const
{
    // Room for a name of about a dozen characters; longer ones are cut.
    const QFontMetrics metrics(view_->font());
    return static_cast<int>(metrics.horizontalAdvance(QStringLiteral("AAAAAAAAAABB")) * 1.15);
}

void HostListPane::ResetGroupColumnWidth()
{
    view_->horizontalHeader()->resizeSection(HostTableModel::kGroupColumn, MeasuredGroupWidth());
}

std::int32_t HostListPane::GroupColumnWidth() const
{
    const int width = view_->horizontalHeader()->sectionSize(HostTableModel::kGroupColumn);
    // A width the file never gave and the user never changed is not written,
    // so that a file of default settings stays as it always was.
    if (settings_.groupColumnWidth == 0 && width == MeasuredGroupWidth())
        return 0;
    return width;
}

ColumnWidths HostListPane::MeasuredColumnWidths() const
{
    const QString measuringTexts[std::tuple_size_v<ColumnWidths>] = {
        QStringLiteral(" %1 ").arg(CPondelDlg::tr(kHeaders[0])),
        QStringLiteral("AAAAAAAAAABBBBBBBBBBCCCCCCCC"),
        QStringLiteral("AAAAAAAAAABBBBBBBBBBCCCCCCCC"),
        QStringLiteral("255.255.255.255 "),
        QStringLiteral("255.255.255.255 "),
        QStringLiteral("DD:DD:DD:DD:DD:DD "),
    };
    const QFontMetrics metrics(view_->font());
    ColumnWidths widths{};
    for (std::size_t column = 0; column < widths.size(); ++column) {
        widths[column] =
            static_cast<std::int32_t>(metrics.horizontalAdvance(measuringTexts[column]) * 1.15);
    }
    return widths;
}

ColumnWidths HostListPane::CurrentColumnWidths() const
{
    ColumnWidths widths{};
    for (std::size_t column = 0; column < widths.size(); ++column)
        widths[column] = view_->horizontalHeader()->sectionSize(static_cast<int>(column));
    return widths;
}

void HostListPane::ApplyColumnWidths(const ColumnWidths& widths)
{
    for (std::size_t column = 0; column < widths.size(); ++column)
        view_->horizontalHeader()->resizeSection(
            static_cast<int>(column), std::max(0, widths[column]));
}

void HostListPane::RefillRows()
{
    std::vector<HostRow> rows;
    rows.reserve(static_cast<std::size_t>(hosts_.Count()));
    int index = 0;
    for (const tHostInfo& host : hosts_)
        rows.push_back(HostRow{host, index++});
    model_->SetMarkIndent(MarkIndent(settings_.columnWidths[0]));
    model_->ResetRows(std::move(rows));
}

void HostListPane::RenumberRows()
{
    for (int row = 0; row < model_->rowCount(); ++row)
        model_->SetItemData(row, row);
}

void HostListPane::RebuildHostList()
{
    hosts_.RemoveAll();
    hosts_.Reserve(model_->rowCount());
    for (const HostRow& row : model_->Rows())
        (void)hosts_.Append(row.host);
}

void HostListPane::UpdateActiveMark(int row)
{
    model_->SetProbeResult(row, hosts_[row]);
}

void HostListPane::UpdateActiveMarks(int index)
{
    // A sweep holds ViewLock until it ends, which refills the rows anyway.
    if (window_.IsCollectRunning())
        return;
    const std::lock_guard view(locks_.ViewLock);
    const int count = std::min(model_->rowCount(), static_cast<int>(hosts_.Count()));
    if (index >= count)
        return;
    if (index >= 0) {
        UpdateActiveMark(index);
        return;
    }
    for (int row = 0; row < count; ++row)
        UpdateActiveMark(row);
}

void HostListPane::ApplyActiveMarkType(std::uint32_t newType)
{
    if (newType == settings_.activeMarkType)
        return;
    // The rows are the window's own: only the marks' look changes here, and
    // the pass asked for stops any pass under way.
    settings_.activeMarkType = newType;
    model_->SetMarkIndent(MarkIndent(view_->horizontalHeader()->sectionSize(0)));
    model_->SetMarkStyle(StyleOf(settings_));
    window_.RequestStatusPass();
}

void HostListPane::RefreshMarkStyle()
{
    model_->SetMarkStyle(StyleOf(settings_));
}

void HostListPane::RecenterMarkIcons()
{
    // Only the window's own rows and settings change: no pass is disturbed.
    if (model_->Style().textMode)
        return;
    const int width = view_->horizontalHeader()->sectionSize(0);
    settings_.columnWidths[0] = width;
    model_->SetMarkIndent(MarkIndent(width));
}

void HostListPane::SelectRow(int row)
{
    const QModelIndex index = model_->index(row, 0);
    view_->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(index);
}

std::optional<tHostInfo> HostListPane::SelectDefaultHost(const IniDocument& document)
{
    const auto text = document.Find(kSettingSection, kDefaultHostKey);
    if (!text || !HoldsNumber(*text))
        return std::nullopt;
    const auto number = ReadIntSetting(document, kSettingSection, kDefaultHostKey);
    if (!number || *number < 0)
        return std::nullopt;
    // The number names a host section; sections without an address, which
    // a hand edit may leave, were not loaded and moved the rows after them.
    const auto row =
        RowOfHostSection(document, settings_.maxHostNum, static_cast<std::uint32_t>(*number));
    if (!row || *row >= model_->rowCount())
        return std::nullopt;
    SelectRow(*row);
    return model_->Rows()[static_cast<std::size_t>(*row)].host;
}

std::vector<int> HostListPane::SelectedRows() const
{
    std::vector<int> rows;
    for (const QModelIndex& index : view_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::ranges::sort(rows);
    return rows;
}

void HostListPane::SelectRows(const std::vector<int>& rows)
{
    // Runs of neighbouring rows make one range each: a large group is
    // selected at once rather than row by row.
    QItemSelection selection;
    const int last = HostTableModel::kColumnCount - 1;
    for (std::size_t first = 0; first < rows.size();) {
        std::size_t end = first + 1;
        while (end < rows.size() && rows[end] == rows[end - 1] + 1)
            ++end;
        selection.select(model_->index(rows[first], 0), model_->index(rows[end - 1], last));
        first = end;
    }
    QItemSelectionModel* selected = view_->selectionModel();
    selected->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (rows.empty())
        return;
    const QModelIndex current = model_->index(rows.front(), 0);
    selected->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    view_->scrollTo(current);
}

int HostListPane::SelectedCount() const
{
    return static_cast<int>(view_->selectionModel()->selectedRows().size());
}

std::optional<tHostInfo> HostListPane::FirstSelectedHost() const
{
    const std::vector<int> selected = SelectedRows();
    if (selected.empty())
        return std::nullopt;
    return model_->Rows()[static_cast<std::size_t>(selected.front())].host;
}

} // namespace pondel
