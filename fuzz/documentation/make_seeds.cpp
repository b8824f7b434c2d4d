// Writes the seed corpus of the delimited table target with the documentation's own writers:
// a measured-value file's header and value lines, and a pass/fail file, each with the
// separators the documentation offers. Run once after a change of the file layout, then commit
// the files:
//
//   build-fuzz/fuzz/documentation/km3-fuzz-table-seeds fuzz/documentation/seeds/fuzz_delimited_table
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "documentation/delimited_table.h"
#include "documentation/measurement_description.h"
#include "documentation/pass_fail_file.h"

using namespace documentation;

namespace {

void Write(const std::string& path, Separators separators, const std::string& table)
{
    std::ofstream out(path, std::ios::binary);
    out.put(separators.field);
    out.put(separators.decimal);
    out << table;
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

MeasurementDescription Description()
{
    MeasurementDescription description;
    description.sensorIdentity = {"T40B 1000 N\xB7m, 123456", "T40S \"rotor\"; 654321"};
    description.channels = {{"A", "N\xB7m", 3}, {"B", "1/min", 0}, {"P1", "kW", 6}};
    description.measureRateText = "1 kHz";
    return description;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <seed folder>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    CDocumentationSettings settings;
    settings.headerText[0] = "Bench 3, line \"north\"";
    settings.headerText[1] = "two\r\nlines";
    const MeasurementDescription description = Description();
    const FileLabels labels;
    const Separators pairs[] = {{';', ','}, {'\t', '.'}, {',', '.'}};
    for (std::size_t i = 0; i < std::size(pairs); ++i) {
        settings.separators = pairs[i];
        CDelimitedTableWriter writer(pairs[i]);
        WriteMeasValueHeader(writer, settings, description, labels, 1'700'000'000);
        for (int n = 0; n < 4; ++n) {
            writer.AppendNumber(n * 0.001, 3);
            writer.AppendNumber(-12.5 + n, 3);
            writer.AppendNumber(1500.0 * n, 0);
            writer.AppendNumber(std::nan(""), 6);
            writer.EndLine();
        }
        Write(folder + "/values_" + std::to_string(i), pairs[i], writer.Buffer());
    }

    // A pass/fail file as the documentation writes it, in a scratch folder.
    settings.separators = pairs[0];
    settings.directory[1] = "/tmp";
    settings.prefix[1] = "km3-fuzz-seed-io";
    IoNioEvaluation evaluation;
    evaluation.time = 1'700'000'000;
    evaluation.conditions[0] = {true, "A", "N\xB7m", 3, -1.0, 1.0, 0.25, true, true, true};
    evaluation.conditions[1] = {true, "B", "1/min", 0, 0.0, 0.0, 3000.0, false, false, true};
    CString fileName, error;
    if (!WriteIoNioResult(settings, 2, description, labels, evaluation, fileName, error)) {
        std::fprintf(stderr, "%s\n", error.GetString());
        return 1;
    }
    std::ifstream in(fileName.GetString(), std::ios::binary);
    std::ostringstream table;
    table << in.rdbuf();
    std::remove(fileName.GetString());
    Write(folder + "/pass_fail", pairs[0], table.str());
    return 0;
}
