#pragma once
// The measured-value file of one measurement: the value sets wait in a convert list and are
// turned into lines and appended in bounded steps, so that no step keeps the GUI thread long.
// A step that cannot write keeps the sets for the next attempt; a file deleted meanwhile is
// written again in full.

#include <cstdint>
#include <functional>

#include "documentation/append_file.h"
#include "documentation/convert_list.h"
#include "documentation/delimited_table.h"
#include "documentation/measurement_description.h"

namespace documentation {

class CMeasValueWriter {
public:
    // Opens the file under the mode (indexed or constant); false with a message naming it.
    bool Open(const CDocumentationSettings& settings, int mode, const MeasurementDescription& description,
              const FileLabels& labels, CString& error);

    const CString& FileName() const { return m_file.FileName(); }
    // True when the file at fileName is the one this writer writes (or would be, once made again).
    bool Writes(const CString& fileName) const { return m_file.IsOpen() && m_file.IsSameFile(fileName); }
    CConvertList& List() { return m_list; }
    const CConvertList& List() const { return m_list; }

    // Writes waiting sets until they are all written or budgetUs of real time has passed
    // (the header first, with the given time of the first record). The header waits for the
    // first set, unless the measurement is over (final), so that it carries the right time. Returns false with a
    // message when the file refused them; what was not written stays in the list. notice
    // receives the report of a deleted file that was written again.
    bool WriteStep(std::int64_t firstRecordSeconds, bool final, std::int64_t budgetUs, CString& error, CString& notice);

    // Writes every waiting set, after the header, into a new file in the folder named after
    // the value file, with the times they have in the measurement. fileName receives the file
    // (the folder when none could be made). False with the reason when it failed; what was not
    // written stays in the list.
    bool WriteRestInto(const CString& folder, std::int64_t firstRecordSeconds, CString& fileName, CString& error);

    void Close() { m_file.Close(); }

private:
    void FormatSets(std::size_t first, std::size_t count);
    bool AppendWaiting(CAppendFile& file, bool& headerWritten, std::int64_t firstRecordSeconds, std::int64_t budgetUs,
                       CString& error);

    CAppendFile m_file;
    CConvertList m_list;
    CDelimitedTableWriter m_writer{Separators{}};
    CDocumentationSettings m_settings;
    MeasurementDescription m_description;
    FileLabels m_labels;
    int m_timeDecimals = 3;
    bool m_headerWritten = false;
};

}  // namespace documentation
