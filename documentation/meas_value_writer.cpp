#include "documentation/meas_value_writer.h"

#include <chrono>
#include <string_view>

#include "documentation/file_naming.h"

namespace documentation {

namespace {

// Sets turned into lines per append: large enough to keep the system calls few, small enough
// that one batch never takes more than a fraction of a step's budget.
constexpr std::size_t kSetsPerBatch = 2048;

std::int64_t NowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

bool CMeasValueWriter::Open(const CDocumentationSettings& settings, int mode, const MeasurementDescription& description,
                            const FileLabels& labels, CString& error)
{
    m_settings = settings;
    m_description = description;
    m_labels = labels;
    m_writer = CDelimitedTableWriter(settings.separators);
    m_timeDecimals = TimeDecimals(description.intervalSeconds);
    m_headerWritten = false;
    m_list.Reset(static_cast<int>(description.channels.size()));
    const CString& folder = settings.directory[kMeasValues];
    const CString& prefix = settings.prefix[kMeasValues];
    if (mode == kStorageIndexed) return ClaimIndexedFile(folder, CString(prefix), kTableExtension, m_file, error);
    return m_file.Open(ConstantFileName(folder, prefix, kTableExtension), CAppendFile::Create::Truncate, error);
}

void CMeasValueWriter::FormatSets(std::size_t first, std::size_t count)
{
    const double interval = m_description.intervalSeconds;
    const std::uint64_t base = m_list.FrontIndex() + first;
    const int width = m_list.ValuesPerSet();
    const std::size_t channels = m_description.channels.size();
    for (std::size_t i = 0; i < count; ++i) {
        const double* set = m_list.At(first + i);
        m_writer.AppendNumber(static_cast<double>(base + i) * interval, m_timeDecimals);
        for (int c = 0; c < width && static_cast<std::size_t>(c) < channels; ++c)
            m_writer.AppendNumber(set[c], m_description.channels[static_cast<std::size_t>(c)].decimals);
        m_writer.EndLine();
    }
}

bool CMeasValueWriter::WriteStep(std::int64_t firstRecordSeconds, bool final, std::int64_t budgetUs, CString& error,
                                 CString& notice)
{
    if (!m_file.IsOpen()) return true;
    if (!m_headerWritten && m_list.IsEmpty() && !final) return true;
    if (m_file.IsDetached()) {
        const CString lost = m_file.FileName();
        if (!m_file.Reattach(error)) return false;
        notice = lost;
    }
    return AppendWaiting(m_file, m_headerWritten, firstRecordSeconds, budgetUs, error);
}

bool CMeasValueWriter::WriteRestInto(const CString& folder, std::int64_t firstRecordSeconds, CString& fileName,
                                     CString& error)
{
    // Named after the value file, so that the user sees which one it continues.
    std::string_view prefix = m_file.FileName().view();
    if (const auto slash = prefix.rfind('/'); slash != std::string_view::npos) prefix.remove_prefix(slash + 1);
    if (const std::string_view extension = kTableExtension; prefix.size() > extension.size() && prefix.ends_with(extension))
        prefix.remove_suffix(extension.size());
    CAppendFile file;
    const bool claimed = ClaimIndexedFile(folder, CString(prefix), kTableExtension, file, error);
    fileName = claimed ? file.FileName() : folder;
    bool headerWritten = false;
    return claimed && AppendWaiting(file, headerWritten, firstRecordSeconds, INT64_MAX, error);
}

bool CMeasValueWriter::AppendWaiting(CAppendFile& file, bool& headerWritten, std::int64_t firstRecordSeconds,
                                     std::int64_t budgetUs, CString& error)
{
    const std::int64_t start = NowUs();
    if (!headerWritten) {
        m_writer.Clear();
        WriteMeasValueHeader(m_writer, m_settings, m_description, m_labels, firstRecordSeconds);
        if (!file.Append(m_writer.Buffer(), error)) return false;
        headerWritten = true;
    }
    while (!m_list.IsEmpty()) {
        const std::size_t count = m_list.Size() < kSetsPerBatch ? m_list.Size() : kSetsPerBatch;
        m_writer.Clear();
        FormatSets(0, count);
        if (!file.Append(m_writer.Buffer(), error)) return false;
        m_list.Pop(count);
        if (NowUs() - start >= budgetUs) break;
    }
    return true;
}

}  // namespace documentation
