// The single-port measured-value stream. Until the stream parsers are built, what arrives
// while a stream runs is consumed without being read.

#include "workflow/com_port.h"

void CComPort::ZMCOMMeasure_AnalyseStream() { m_strReceiveCOM.Empty(); }

void CComPort::ZMCOMMeasure_AnalyseStreamSingleChannel() { m_strReceiveCOM.Empty(); }
