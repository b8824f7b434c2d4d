#pragma once
// The string-table ids of the documentation's texts, and the messages built from them.

#include "documentation/measurement_description.h"
#include "documentation/separators.h"
#include "platform/cstring.h"
#include "platform/win_types.h"

namespace documentation {

constexpr UINT kTextPageCaption = 5750;
constexpr UINT kTextMeasValues = 5751;
constexpr UINT kTextIoNioResults = 5752;
constexpr UINT kTextDiagrams = 5753;
constexpr UINT kTextFolder = 5754;
constexpr UINT kTextPrefix = 5755;
constexpr UINT kTextAutoStorage = 5756;
constexpr UINT kTextModeOff = 5757;
constexpr UINT kTextModeIndexed = 5758;
constexpr UINT kTextModeConstant = 5759;
constexpr UINT kTextSeparators = 5760;
constexpr UINT kTextFieldSeparator = 5761;
constexpr UINT kTextDecimalSeparator = 5762;
constexpr UINT kTextReportHeader = 5763;
constexpr UINT kTextHeaderCompany = 5764;
constexpr UINT kTextHeaderTester = 5765;
constexpr UINT kTextHeaderRemark = 5766;
constexpr UINT kTextTab = 5767;
constexpr UINT kTextSpace = 5768;
constexpr UINT kTextSeparatorsEqual = 5769;
constexpr UINT kTextFieldInNumbers = 5770;
constexpr UINT kTextDecimalInNumbers = 5771;
constexpr UINT kTextSeparatorUnusable = 5772;
constexpr UINT kTextFileNotWritten = 5773;
constexpr UINT kTextFileNotCreated = 5774;
constexpr UINT kTextFileRecreated = 5775;
// A file that refuses after its measurement has ended: the value file, whose sets are kept, and
// the pass/fail result file, whose row is not.
constexpr UINT kTextEndedFileNotWritten = 5776;
constexpr UINT kTextResultFileNotWritten = 5796;
constexpr UINT kTextDiagramNotStored = 5777;
constexpr UINT kTextBadPrefix = 5778;
constexpr UINT kTextLabelDate = 5779;
constexpr UINT kTextLabelTime = 5780;
constexpr UINT kTextLabelMeasureRate = 5781;
constexpr UINT kTextLabelTimeColumn = 5782;
constexpr UINT kTextLabelLower = 5783;
constexpr UINT kTextLabelUpper = 5784;
constexpr UINT kTextLabelValue = 5785;
constexpr UINT kTextLabelResult = 5786;
constexpr UINT kTextLabelPassed = 5787;
constexpr UINT kTextLabelFailed = 5788;
constexpr UINT kTextLabelSensor = 5789;
constexpr UINT kTextStorageMode = 5790;
// Value sets their file refused for good, saved elsewhere or lost; the heading of such
// messages shown at the next start.
constexpr UINT kTextSetsRecovered = 5797;
constexpr UINT kTextSetsNotRecovered = 5798;
constexpr UINT kTextSetsRecoveredAtLastEnd = 5799;
// Why a file could not be written, in the user's words.
constexpr UINT kTextReasonMissing = 5955;
constexpr UINT kTextReasonNoPermission = 5956;
constexpr UINT kTextReasonDiskFull = 5957;
constexpr UINT kTextReasonReadOnly = 5958;
constexpr UINT kTextReasonNotAFolder = 5959;
constexpr UINT kTextReasonIsAFolder = 5960;
constexpr UINT kTextReasonNameTooLong = 5961;
constexpr UINT kTextReasonInputOutput = 5962;
constexpr UINT kTextReasonTooManyFiles = 5963;
constexpr UINT kTextReasonSystemError = 5964;  // %d: the system's error number
constexpr UINT kTextReasonNotRegular = 5965;
constexpr UINT kTextReasonNotOpen = 5966;
constexpr UINT kTextReasonIndexesTaken = 5967;  // %d to %d
constexpr UINT kTextReasonNoDiagramStorage = 5968;

// A message about a file: the text's "<file>" and "<reason>" replaced; without a reason its
// parentheses go too.
CString FileFaultText(UINT textId, const CString& fileName, const CString& reason);
// The reason for a system error number (errno) in the current language; a number without a
// text of its own is named by its number.
CString ErrnoText(int error);
// The message for a refused pair of separators; empty for none.
CString SeparatorProblemText(SeparatorProblem problem);

}  // namespace documentation
