// Chart files: the chart's properties, curves, axes, stored measurements and objects in the
// binary archive form, written in one go over the old file and read back in full before the
// chart changes.

#include <QFile>
#include <algorithm>
#include <cmath>

#include "chart/chart_file.h"
#include "chart/xgraph.h"
#include "platform/codepage.h"
#include "platform/qt_text.h"
#include "platform/replace_file.h"

using namespace chart;

namespace {

// The smallest records the counts of a file may announce, so that a count is never believed
// beyond the bytes that follow it.
constexpr std::size_t kMeasurementBytes = 16;
constexpr std::size_t kMinCurveBytes = 89;
constexpr std::size_t kMinAxisBytes = 243;
constexpr std::size_t kMinObjectBytes = 2;

// Geometry from a file is used in pixel arithmetic; values no screen or page can have are
// brought into a range where that arithmetic cannot overflow. Sensible values stay as stored.
constexpr int kGeometryLimit = 100000;
int Sane(int v) { return std::clamp(v, -kGeometryLimit, kGeometryLimit); }
double SaneSpace(double v) { return std::isfinite(v) && std::fabs(v) < kGeometryLimit ? v : 0.0; }

void Sanitize(CXGraphObject& object)
{
    CRect& r = object.m_Rect;
    r.SetRect(Sane(r.left), Sane(r.top), Sane(r.right), Sane(r.bottom));
}

void Sanitize(CXGraphAxis& axis)
{
    axis.m_nArrowSize = Sane(axis.m_nArrowSize);
    axis.m_nTickLength = Sane(axis.m_nTickLength);
    axis.m_nMarkerSize = Sane(axis.m_nMarkerSize);
    axis.m_nOriginX = Sane(axis.m_nOriginX);
    axis.m_nOriginY = Sane(axis.m_nOriginY);
    axis.m_nLength = Sane(axis.m_nLength);
    axis.m_dHeadSpace = SaneSpace(axis.m_dHeadSpace);
    axis.m_dMarkerSpace = SaneSpace(axis.m_dMarkerSpace);
}

void Sanitize(CXGraphDataSerie& curve)
{
    Sanitize(static_cast<CXGraphObject&>(curve));
    curve.m_nLineWidth = Sane(curve.m_nLineWidth);
    curve.m_nMarkerSize = Sane(curve.m_nMarkerSize);
}

void Sanitize(ChartProperties& p)
{
    p.snapRange = Sane(p.snapRange);
    p.marginLeft = Sane(p.marginLeft);
    p.marginTop = Sane(p.marginTop);
    p.marginRight = Sane(p.marginRight);
    p.marginBottom = Sane(p.marginBottom);
    p.axisSpacing = Sane(p.axisSpacing);
}

std::uint32_t ReadCount(CArchive& ar, std::size_t minRecord, const char* what)
{
    std::uint32_t count;
    ar >> count;
    if (count > ar.Remaining() / minRecord) throw CArchiveException(std::string("chart file counts more ") + what + " than it holds");
    return count;
}

void ReadProperties(CArchive& ar, ChartProperties& p)
{
    std::int32_t legendAlign, snapRange, left, top, right, bottom, spacing, selected;
    ar >> p.backColor >> p.outerColor >> p.innerColor >> p.doubleBuffer >> p.showLegend >> legendAlign >> p.snapCursor >>
        snapRange >> left >> top >> right >> bottom >> spacing >> selected;
    p.legendAlign = legendAlign;
    p.snapRange = snapRange;
    p.marginLeft = left;
    p.marginTop = top;
    p.marginRight = right;
    p.marginBottom = bottom;
    p.axisSpacing = spacing;
    p.selectedCurve = selected;
}

}  // namespace

namespace chart {

void ReadChartFile(CArchive& ar, ChartFileContent& content)
{
    ar >> content.flags;
    if (content.flags & kSaveProperties) {
        ReadProperties(ar, content.properties);
        Sanitize(content.properties);
    }
    if (content.flags & kSaveCurvesAndAxes) {
        const std::uint32_t curves = ReadCount(ar, kMinCurveBytes, "curves");
        for (std::uint32_t i = 0; i < curves; ++i) {
            CXGraphDataSerie curve;
            curve.Serialize(ar);
            Sanitize(curve);
            content.curves.push_back(std::move(curve));
        }
        for (auto* axes : {&content.xAxes, &content.yAxes}) {
            const std::uint32_t count = ReadCount(ar, kMinAxisBytes, "axes");
            for (std::uint32_t i = 0; i < count; ++i) {
                CXGraphAxis axis;
                axis.Serialize(ar);
                Sanitize(axis);
                axes->push_back(std::move(axis));
            }
        }
    }
    if (content.flags & kSaveObjects) {
        const std::uint32_t measurements = ReadCount(ar, kMeasurementBytes, "measurements");
        for (std::uint32_t i = 0; i < measurements * 4; ++i) {
            std::int32_t v;
            ar >> v;
            content.measurements.push_back(v);
        }
        const std::uint32_t objects = ReadCount(ar, kMinObjectBytes, "objects");
        for (std::uint32_t i = 0; i < objects; ++i) {
            const std::string className = ar.ReadNewObjectClass(1);
            std::unique_ptr<CXGraphObject> object = CreateChartObject(className);
            if (!object) throw CArchiveException("chart file holds an object of class " + className + ", which is no chart object");
            object->Serialize(ar);
            Sanitize(*object);
            content.objects.push_back(std::move(object));
        }
    }
}

bool ParseChartFile(const BYTE* data, std::size_t size, ChartFileContent& content)
{
    try {
        CArchive ar(data, size);
        ReadChartFile(ar, content);
        return true;
    } catch (const CArchiveException&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace chart

void CXGraph::Serialize(CArchive& ar, UINT flags)
{
    if (ar.IsStoring()) {
        ar << static_cast<std::uint32_t>(flags);
        if (flags & kSaveProperties) {
            ar << m_crBackColor << m_crOuterColor << m_crInnerColor << m_bDoubleBuffer << m_bShowLegend
               << static_cast<std::int32_t>(m_nLegendAlign) << m_bSnapCursor << static_cast<std::int32_t>(m_nSnapRange)
               << static_cast<std::int32_t>(m_nMarginLeft) << static_cast<std::int32_t>(m_nMarginTop)
               << static_cast<std::int32_t>(m_nMarginRight) << static_cast<std::int32_t>(m_nMarginBottom)
               << static_cast<std::int32_t>(m_nAxisSpacing) << static_cast<std::int32_t>(m_nSelectedCurve);
        }
        if (flags & kSaveCurvesAndAxes) {
            ar << static_cast<std::uint32_t>(m_Curves.size());
            for (CXGraphDataSerie& curve : m_Curves) curve.Serialize(ar);
            ar << static_cast<std::uint32_t>(m_XAxes.size());
            for (CXGraphAxis& axis : m_XAxes) axis.Serialize(ar);
            ar << static_cast<std::uint32_t>(m_YAxes.size());
            for (CXGraphAxis& axis : m_YAxes) axis.Serialize(ar);
        }
        if (flags & kSaveObjects) {
            ar << static_cast<std::uint32_t>(m_Measurements.size());
            for (const Measurement& m : m_Measurements) {
                ar << static_cast<std::int32_t>(m.start.curve) << static_cast<std::int32_t>(m.start.index)
                   << static_cast<std::int32_t>(m.end.curve) << static_cast<std::int32_t>(m.end.index);
            }
            ar << static_cast<std::uint32_t>(m_Objects.size() - 1);
            for (auto it = std::next(m_Objects.begin()); it != m_Objects.end(); ++it) {
                ar.WriteNewObjectTag((*it)->GetRuntimeClass(), 1);
                (*it)->Serialize(ar);
            }
        }
        return;
    }
    ChartFileContent content;
    ReadChartFile(ar, content);
    const UINT loaded = content.flags;
    if (loaded & kSaveProperties) {
        const ChartProperties& p = content.properties;
        m_crBackColor = p.backColor;
        m_crOuterColor = p.outerColor;
        m_crInnerColor = p.innerColor;
        m_bDoubleBuffer = p.doubleBuffer;
        m_bShowLegend = p.showLegend;
        m_nLegendAlign = p.legendAlign;
        m_bSnapCursor = p.snapCursor;
        m_nSnapRange = p.snapRange;
        m_nMarginLeft = p.marginLeft;
        m_nMarginTop = p.marginTop;
        m_nMarginRight = p.marginRight;
        m_nMarginBottom = p.marginBottom;
        m_nAxisSpacing = p.axisSpacing;
        m_nSelectedCurve = p.selectedCurve;
    }
    for (CXGraphDataSerie& curve : content.curves) {
        curve.m_pGraph = this;
        m_Curves.push_back(std::move(curve));
    }
    for (CXGraphAxis& axis : content.xAxes) {
        axis.m_pGraph = this;
        m_XAxes.push_back(std::move(axis));
    }
    for (CXGraphAxis& axis : content.yAxes) {
        axis.m_pGraph = this;
        m_YAxes.push_back(std::move(axis));
    }
    for (std::size_t i = 0; i + 3 < content.measurements.size(); i += 4) {
        const auto& m = content.measurements;
        m_Measurements.push_back({{m[i], m[i + 1]}, {m[i + 2], m[i + 3]}});
    }
    for (auto& object : content.objects) {
        object->m_pGraph = this;
        m_Objects.push_back(object.release());
    }
    Invalidate(true);
}

bool CXGraph::Save(const CString& fileName, UINT flags)
{
    if (flags == 0) return false;
    m_pActiveObject = nullptr;
    m_pSelectedObject = nullptr;
    try {
        CArchive ar;
        Serialize(ar, flags);
        return platform::WriteFileReplacing(fileName, ar.Buffer().data(), ar.Buffer().size());
    } catch (const std::exception&) {
        return false;
    }
}

bool CXGraph::Load(const CString& fileName)
{
    QFile file(QString::fromStdString(platform::ToFileSystemPath(fileName)));
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    file.close();
    ChartFileContent content;
    if (!ParseChartFile(reinterpret_cast<const BYTE*>(bytes.constData()), static_cast<std::size_t>(bytes.size()), content)) {
        return false;
    }
    // The whole file was read: now the chart is emptied and takes it.
    ResetAll();
    try {
        CArchive ar(reinterpret_cast<const BYTE*>(bytes.constData()), static_cast<std::size_t>(bytes.size()));
        Serialize(ar, 0);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}
