#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "documentation/delimited_table.h"
#include "documentation/separators.h"

using namespace documentation;

TEST(DelimitedTable, EveryFieldReadsBackAsWrittenUnderEachSeparatorPair)
{
    const double values[] = {0.0, -0.0004, 1234567.891, -98.7654321, 1e-9, 5e12};
    for (Separators sep : {Separators{'\t', ','}, Separators{';', ','}, Separators{',', '.'}, Separators{' ', '.'}}) {
        std::string quoted = "sep";  // built in steps: g++ 12 misreads "a" + c + "b" at -O1
        quoted += sep.field;
        quoted += "in \"text\"\r\nnext";
        CDelimitedTableWriter writer(sep);
        writer.AppendText("plain");
        writer.AppendText(quoted);
        writer.AppendText("");
        writer.EndLine();
        for (double v : values) writer.AppendNumber(v, 4);
        writer.AppendNumber(std::numeric_limits<double>::quiet_NaN(), 2);
        writer.EndLine();

        CDelimitedTableReader reader(sep);
        ASSERT_TRUE(reader.Parse(writer.Buffer()));
        const auto& rows = reader.Records();
        ASSERT_EQ(2u, rows.size());
        ASSERT_EQ(3u, rows[0].size());
        EXPECT_EQ("plain", rows[0][0]);
        EXPECT_EQ(quoted, rows[0][1]);
        EXPECT_EQ("", rows[0][2]);
        ASSERT_EQ(7u, rows[1].size());
        for (std::size_t i = 0; i < 6; ++i) {
            double read = 0;
            ASSERT_TRUE(reader.ToNumber(rows[1][i], read)) << rows[1][i];
            EXPECT_NEAR(std::round(values[i] * 1e4) / 1e4, read, 1e-9) << rows[1][i];
        }
        double missing = 0;
        EXPECT_EQ("n.a.", rows[1][6]);
        EXPECT_FALSE(reader.ToNumber(rows[1][6], missing));
    }
}

TEST(DelimitedTable, NumbersAreRoundedHalfAwayFromZeroWithoutANegativeZero)
{
    CDelimitedTableWriter writer(Separators{';', ','});
    writer.AppendNumber(0.05, 3);
    writer.AppendNumber(-0.0004, 3);
    writer.AppendNumber(2.5, 0);
    writer.AppendNumber(-2.5, 0);
    writer.AppendNumber(-12.3456, 2);
    writer.AppendNumber(1e20, 2);  // too large for the fast path
    writer.AppendNumber(7.0, 0);
    EXPECT_EQ("0,050;0,000;3;-3;-12,35;100000000000000000000,00;7", writer.Buffer());
}

TEST(DelimitedTable, ReaderRefusesWhatIsNoNumberAndAQuoteThatNeverEnds)
{
    CDelimitedTableReader comma(Separators{';', ','});
    double v = 0;
    EXPECT_FALSE(comma.ToNumber("1.5", v));  // a point is no decimal separator with ','
    EXPECT_FALSE(comma.ToNumber("1,5x", v));
    EXPECT_FALSE(comma.ToNumber("", v));
    for (const char* text : {"inf", "-inf", "+nan", "infinity", "+-1"}) EXPECT_FALSE(comma.ToNumber(text, v)) << text;
    EXPECT_TRUE(comma.ToNumber("+1,5", v));
    EXPECT_DOUBLE_EQ(1.5, v);
    EXPECT_FALSE(comma.Parse("a;\"open\r\nb"));
    EXPECT_FALSE(comma.Error().IsEmpty());

    CDelimitedTableReader reader(Separators{';', ','});
    ASSERT_TRUE(reader.Parse("a;;b\n\nlast"));  // LF alone, an empty line, no final line end
    ASSERT_EQ(3u, reader.Records().size());
    EXPECT_EQ((std::vector<std::string>{"a", "", "b"}), reader.Records()[0]);
    EXPECT_TRUE(reader.Records()[1].empty());
    EXPECT_EQ((std::vector<std::string>{"last"}), reader.Records()[2]);
}

TEST(DelimitedTable, SeparatorsThatWouldMakeATableUnreadableAreRefused)
{
    EXPECT_EQ(SeparatorProblem::None, CheckSeparators({'\t', ','}));
    EXPECT_EQ(SeparatorProblem::None, CheckSeparators({';', '.'}));
    EXPECT_EQ(SeparatorProblem::None, CheckSeparators({',', '.'}));
    EXPECT_EQ(SeparatorProblem::Equal, CheckSeparators({',', ','}));
    EXPECT_EQ(SeparatorProblem::Equal, CheckSeparators({';', ';'}));
    for (char field : {'0', '7', '-', '+', 'e', 'E', '.', 'n', 'a'})
        EXPECT_EQ(SeparatorProblem::FieldInNumbers, CheckSeparators({field, ','})) << field;
    for (char decimal : {'5', '-', 'e'})
        EXPECT_EQ(SeparatorProblem::DecimalInNumbers, CheckSeparators({';', decimal})) << decimal;
    EXPECT_EQ(SeparatorProblem::Unusable, CheckSeparators({'"', ','}));
    EXPECT_EQ(SeparatorProblem::Unusable, CheckSeparators({'\n', ','}));
    EXPECT_EQ(SeparatorProblem::Unusable, CheckSeparators({';', '\0'}));
}
