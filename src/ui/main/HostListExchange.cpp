// Hosts in and out: CSV files and the clipboard.
#include "HostListEditor.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include <QItemSelectionModel>
#include <QStringList>
#include <QTableView>

#include "ClipboardRows.h"
#include "ClipboardText.h"
#include "CsvHostFile.h"
#include "FileIo.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "PondelDlg.h"
#include "WaitCursor.h"
#include "WindowWorkers.h"

namespace pondel {
namespace {

// A file larger than this cannot be a host list the program would hold.
constexpr std::size_t kMaxImportBytes = 64U * 1024U * 1024U;

// The CSV messages are the same English texts in every language.
QString CsvFilter()
{
    return QStringLiteral("CSV File (*.csv);;All File (*.*)");
}

// The export's second file type, which any copy of the program reads
// whole only if it knows groups and wake options.
QString ExtendedCsvFilter()
{
    return CPondelDlg::tr("CSV with groups and wake options (*.csv)");
}

QString ExportFilters()
{
    return QStringLiteral("CSV File (*.csv);;%1;;All File (*.*)").arg(ExtendedCsvFilter());
}

std::filesystem::path PathOf(const QString& fileName)
{
    return std::filesystem::path(fileName.toStdString());
}

// What an import did, a count a line; lines with nothing to count are left
// out.
QString ImportSummary(const CsvImportResult& imported, CsvDuplicates duplicates)
{
    QStringList lines{CPondelDlg::tr("Hosts imported: %1").arg(imported.added)};
    if (imported.malformed > 0)
        lines << CPondelDlg::tr("Lines that are not hosts, left out: %1").arg(imported.malformed);
    if (duplicates == CsvDuplicates::kSkip && imported.duplicates > 0)
        lines << CPondelDlg::tr("Hosts already in the list, skipped: %1").arg(imported.duplicates);
    if (imported.overLimit > 0)
        lines << CPondelDlg::tr("Hosts left out because the list is full: %1")
                     .arg(imported.overLimit);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

void HostListEditor::Export()
{
    QString fileType;
    const std::optional<QString> chosen = ModalSeam::SaveFileName(&window_,
        CPondelDlg::tr("Export To CSV File"), ExportFilters(), QStringLiteral("csv"), &fileType);
    if (!chosen)
        return;
    if (chosen->isEmpty()) {
        ModalSeam::Error(&window_, QStringLiteral("Export file is not selected."));
        return;
    }
    // The window's own rows: only this thread changes them, while a sweep
    // may be adding to the host list meanwhile. The list goes to a new file
    // that replaces the old one only once it is wholly written, so a full
    // disk never leaves half a list behind.
    const HostList rows = model_.Hosts();
    const CsvFlavour flavour =
        fileType == ExtendedCsvFilter() ? CsvFlavour::kWithGroups : CsvFlavour::kPlain;
    const Result<void> written =
        ReplaceFileAtomically(PathOf(*chosen), FormatCsvHostList(rows, flavour));
    if (written) {
        ModalSeam::Notice(&window_, CPondelDlg::tr("Hosts exported: %1").arg(rows.Count()));
        return;
    }
    const QString reason = QString::fromStdString(written.Error().message);
    if (written.Error().message.starts_with("cannot create"))
        ModalSeam::Error(&window_, QStringLiteral("Cannot open export file.\n%1").arg(reason));
    else
        ModalSeam::Error(
            &window_, QStringLiteral("Cannot write export file.\n%1\n%2").arg(*chosen, reason));
}

void HostListEditor::Import()
{
    if (workers_.CollectRunning())
        return;
    const std::optional<QString> chosen =
        ModalSeam::OpenFileName(&window_, CPondelDlg::tr("Import From CSV File"), CsvFilter());
    if (!chosen)
        return;
    if (chosen->isEmpty()) {
        ModalSeam::Error(&window_, QStringLiteral("Import file is not selected."));
        return;
    }
    const Result<std::string> text = ReadWholeFile(PathOf(*chosen), kMaxImportBytes);
    if (!text) {
        ModalSeam::Error(&window_, QStringLiteral("Cannot open import file."));
        return;
    }
    // Only this thread changes the hosts' texts, so they are compared
    // without the lock, which is not held while the question is open.
    const CsvDuplicates duplicates = AskAboutDuplicates(text.Value());
    CsvImportResult imported;
    {
        const ListChangeLock lock(locks_);
        imported = ImportCsvHostList(text.Value(), hosts_, settings_.maxHostNum, duplicates);
        if (imported.added > 0)
            window_.RefillHostRows();
    }
    window_.UpdateCommandState();
    const QString summary = ImportSummary(imported, duplicates);
    if (imported.reachedLimit)
        ModalSeam::Error(&window_, QStringLiteral("Host over max count.\n\n") + summary);
    else
        ModalSeam::Notice(&window_, summary);
    if (settings_.autoRefresh != 0)
        workers_.RequestStatusPass();
}

CsvDuplicates HostListEditor::AskAboutDuplicates(std::string_view fileText) const
{
    const std::int32_t count = CountCsvDuplicates(fileText, hosts_);
    if (count == 0)
        return CsvDuplicates::kAdd;
    const bool again = ModalSeam::Ask(&window_,
        CPondelDlg::tr("%1 of the hosts in the file are already in the list (the same MAC "
                       "address, or the same name and IP address).\nAdd them again?")
            .arg(count));
    return again ? CsvDuplicates::kAdd : CsvDuplicates::kSkip;
}

std::vector<tHostInfo> HostListEditor::HostsOfRows(const std::vector<int>& rows) const
{
    std::vector<tHostInfo> hosts;
    hosts.reserve(rows.size());
    for (const int row : rows)
        hosts.push_back(model_.Rows()[static_cast<std::size_t>(row)].host);
    return hosts;
}

void HostListEditor::Copy()
{
    if (workers_.CollectRunning())
        return;
    const WaitCursor wait;
    // The window's own rows: nothing else changes them, so no lock is needed.
    const std::string text = FormatClipboardRows(HostsOfRows(window_.SelectedRows()));
    view_.clearSelection();
    if (text.empty()) {
        ModalSeam::Notice(&window_, CPondelDlg::tr("Please select the host"));
        return;
    }
    (void)ClipboardText::Put(QString::fromStdString(text));
}

void HostListEditor::Cut()
{
    if (workers_.CollectRunning())
        return;
    const WaitCursor wait;
    const std::vector<int> rows = window_.SelectedRows();
    if (rows.empty()) {
        ModalSeam::Notice(&window_, CPondelDlg::tr("Please select the host"));
    } else if (!ClipboardText::Put(
                   QString::fromStdString(FormatClipboardRows(HostsOfRows(rows))))) {
        // Rows whose text did not reach the clipboard would be lost; they stay.
        ModalSeam::Error(&window_,
            CPondelDlg::tr(
                "The hosts could not be placed on the clipboard. They stay in the list."));
    } else {
        const ListChangeLock lock(locks_);
        RemoveRows(rows);
    }
    window_.UpdateCommandState();
}

void HostListEditor::RemoveRows(const std::vector<int>& rows)
{
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        hosts_.RemoveAt(*row);
        model_.RemoveRow(*row);
    }
    if (!rows.empty())
        window_.RenumberRows();
}

void HostListEditor::Paste()
{
    if (workers_.CollectRunning())
        return;
    const WaitCursor wait;
    const std::optional<QString> text = ClipboardText::Get();
    if (!text) {
        ModalSeam::Notice(&window_, CPondelDlg::tr("There is no data to be pasted."));
        return;
    }
    const ClipboardPaste paste = ParseClipboardRows(text->toStdString());
    const int count = static_cast<int>(paste.hosts.size());
    {
        const ListChangeLock lock(locks_);
        const std::vector<int> selected = window_.SelectedRows();
        const int start = selected.empty() ? model_.rowCount() : selected.front();
        int at = start;
        for (const tHostInfo& host : paste.hosts)
            hosts_.InsertAt(at++, host);
        if (count > 0) {
            window_.RefillHostRows();
            SelectRowRange(start, start + count - 1);
        }
    }
    if (paste.formatError)
        ModalSeam::Error(&window_, CPondelDlg::tr("Different format of the data to be pasted is."));
    if (count > 0)
        workers_.RequestStatusPass();
    window_.UpdateCommandState();
}

void HostListEditor::SelectRowRange(int first, int last)
{
    const QModelIndex top = model_.index(first, 0);
    const QItemSelection rows(top, model_.index(last, HostTableModel::kColumnCount - 1));
    QItemSelectionModel* selection = view_.selectionModel();
    selection->select(rows, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    view_.scrollTo(top);
}

} // namespace pondel
