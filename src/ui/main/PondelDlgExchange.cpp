// Hosts in and out: CSV files and the clipboard.
#include "PondelDlg.h"

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QTableView>

#include "ClipboardRows.h"
#include "ClipboardText.h"
#include "CsvHostFile.h"
#include "FileIo.h"
#include "HostTableModel.h"
#include "ModalSeam.h"
#include "WaitCursor.h"

namespace pondel {
namespace {

// A file larger than this cannot be a host list the program would hold.
constexpr std::size_t kMaxImportBytes = 64U * 1024U * 1024U;

// The CSV messages are the same English texts in every language.
QString CsvFilter()
{
    return QStringLiteral("CSV File (*.csv);;All File (*.*)");
}

QString DefaultCsvSuffix()
{
    return QStringLiteral("csv");
}

std::filesystem::path PathOf(const QString& fileName)
{
    return std::filesystem::path(fileName.toStdString());
}


} // namespace

void CPondelDlg::OnExportHostList()
{
    const std::optional<QString> chosen =
        ModalSeam::SaveFileName(this, tr("Export To CSV File"), CsvFilter(), DefaultCsvSuffix());
    if (!chosen)
        return;
    if (chosen->isEmpty()) {
        ModalSeam::Error(this, QStringLiteral("Export file is not selected."));
        return;
    }
    // The list goes to a new file that replaces the old one only once it is
    // wholly written, so a full disk never leaves half a list behind.
    const Result<void> written = ReplaceFileAtomically(PathOf(*chosen), FormatCsvHostList(hosts_));
    if (written)
        return;
    const QString reason = QString::fromStdString(written.Error().message);
    if (written.Error().message.starts_with("cannot create"))
        ModalSeam::Error(this, QStringLiteral("Cannot open export file.\n%1").arg(reason));
    else
        ModalSeam::Error(this,
            QStringLiteral("Cannot write export file.\n%1\n%2").arg(*chosen, reason));
}

void CPondelDlg::OnImportHostList()
{
    const std::optional<QString> chosen =
        ModalSeam::OpenFileName(this, tr("Import From CSV File"), CsvFilter());
    if (!chosen)
        return;
    if (chosen->isEmpty()) {
        ModalSeam::Error(this, QStringLiteral("Import file is not selected."));
        return;
    }
    const Result<std::string> text = ReadWholeFile(PathOf(*chosen), kMaxImportBytes);
    if (!text) {
        ModalSeam::Error(this, QStringLiteral("Cannot open import file."));
        return;
    }
    CsvImportResult imported;
    {
        const ListChangeLock lock(locks_);
        imported = ImportCsvHostList(text.Value(), hosts_, settings_.maxHostNum);
        if (imported.added > 0)
            RefillHostRows();
    }
    UpdateCommandState();
    if (imported.reachedLimit)
        ModalSeam::Error(this, QStringLiteral("Host over max count."));
    if (settings_.autoRefresh != 0)
        RequestStatusPass();
}

void CPondelDlg::OnCopy()
{
    if (locks_.IsCollectRunning())
        return;
    const WaitCursor wait;
    std::string text;
    {
        const ListChangeLock lock(locks_);
        const std::vector<int> rows = SelectedRows();
        std::vector<tHostInfo> copied;
        copied.reserve(rows.size());
        for (const int row : rows)
            copied.push_back(model_->Rows()[static_cast<std::size_t>(row)].host);
        text = FormatClipboardRows(copied);
        view_->clearSelection();
    }
    if (text.empty()) {
        ModalSeam::Notice(this, tr("Please select the host"));
        return;
    }
    (void)ClipboardText::Put(QString::fromStdString(text));
}

void CPondelDlg::OnCut()
{
    if (locks_.IsCollectRunning())
        return;
    const WaitCursor wait;
    bool selected = false;
    bool placed = false;
    {
        const ListChangeLock lock(locks_);
        const std::vector<int> rows = SelectedRows();
        selected = !rows.empty();
        std::vector<tHostInfo> cut;
        cut.reserve(rows.size());
        for (const int row : rows)
            cut.push_back(model_->Rows()[static_cast<std::size_t>(row)].host);
        // Rows whose text did not reach the clipboard would be lost; they stay.
        placed = selected && ClipboardText::Put(QString::fromStdString(FormatClipboardRows(cut)));
        if (placed)
            RemoveRows(rows);
    }
    if (!selected)
        ModalSeam::Notice(this, tr("Please select the host"));
    else if (!placed)
        ModalSeam::Error(this,
            tr("The hosts could not be placed on the clipboard. They stay in the list."));
    UpdateCommandState();
}

void CPondelDlg::RemoveRows(const std::vector<int>& rows)
{
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        hosts_.RemoveAt(*row);
        model_->RemoveRow(*row);
    }
    if (!rows.empty())
        RenumberRows();
}

void CPondelDlg::OnPaste()
{
    if (locks_.IsCollectRunning())
        return;
    const WaitCursor wait;
    const std::optional<QString> text = ClipboardText::Get();
    if (!text) {
        ModalSeam::Notice(this, tr("There is no data to be pasted."));
        return;
    }
    const ClipboardPaste paste = ParseClipboardRows(text->toStdString());
    const int count = static_cast<int>(paste.hosts.size());
    {
        const ListChangeLock lock(locks_);
        const std::vector<int> selected = SelectedRows();
        const int start = selected.empty() ? model_->rowCount() : selected.front();
        int at = start;
        for (const tHostInfo& host : paste.hosts)
            hosts_.InsertAt(at++, host);
        if (count > 0) {
            RefillHostRows();
            SelectRowRange(start, start + count - 1);
        }
    }
    if (paste.formatError)
        ModalSeam::Error(this, tr("Different format of the data to be pasted is."));
    if (count > 0)
        RequestStatusPass();
    UpdateCommandState();
}

void CPondelDlg::SelectRowRange(int first, int last)
{
    const QModelIndex top = model_->index(first, 0);
    const QItemSelection rows(top, model_->index(last, HostTableModel::kColumnCount - 1));
    QItemSelectionModel* selection = view_->selectionModel();
    selection->select(rows, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selection->setCurrentIndex(top, QItemSelectionModel::NoUpdate);
    view_->scrollTo(top);
}

} // namespace pondel
