// SPDX-License-Identifier: GPL-3.0-or-later
// The Calculate command end to end: worked examples typed into the window and read back from
// the result boxes, the two information messages and the arithmetic-fault warning.
#include "gui_test_support.h"

#include "report/print_report.h"
#include "ui/calculate_command.h"
#include "ui/result_boxes.h"

#include <map>

#include <QLineEdit>
#include <QTest>

using namespace zhuheng;

namespace {

const char* const kInputBoxes[] = {"txtrg", "txtag", "txtbc", "txtbi",
                                   "txthi", "txtb",  "txth",  "txtmj"};

class CalculateTest : public MainFormTest {
protected:
    // Concrete 25号 and steel Ⅱ级 with the T-section of the design examples.
    void design_section(const QString& moment) {
        pick_by_keys("cbohnt", 2);
        pick_by_keys("cbodj", 1);
        click("optpj");
        type("txtbc", QStringLiteral("0.05"));
        type("txtbi", QStringLiteral("1.0"));
        type("txthi", QStringLiteral("0.15"));
        type("txtb", QStringLiteral("0.2"));
        type("txth", QStringLiteral("0.8"));
        type("txtmj", moment);
    }
    // Concrete 20号 and steel Ⅱ级 with the T-section of the check examples.
    void check_section(const QString& area, const QString& moment) {
        pick_by_mouse("cbohnt", QStringLiteral("20号"));
        pick_by_mouse("cbodj", QStringLiteral("Ⅱ级"));
        click("optpd");
        type("txtag", area);
        type("txtbc", QStringLiteral("0.07"));
        type("txtbi", QStringLiteral("1.6"));
        type("txthi", QStringLiteral("0.12"));
        type("txtb", QStringLiteral("0.18"));
        type("txth", QStringLiteral("1.3"));
        type("txtmj", moment);
    }
    std::vector<std::string> texts(std::initializer_list<const char*> names) const {
        std::vector<std::string> out;
        for (const char* n : names) {
            out.push_back(text(n).toStdString());
        }
        return out;
    }
    std::map<std::string, QString> all_boxes() const {
        std::map<std::string, QString> out;
        for (QLineEdit* box : form->findChildren<QLineEdit*>()) {
            out[box->objectName().toStdString()] = box->text();
        }
        return out;
    }
};

TEST_F(CalculateTest, DesignFirstTypeShowsFlooredResultsAndEmptiesTheCheckBoxes) {
    design_section(QStringLiteral("500"));
    click("cmdrun");
    EXPECT_EQ(texts({"txtagl", "txtupj", "txtx"}),
              (std::vector<std::string>{" 25.528", " 1.701", " 0.0598"}));
    EXPECT_EQ(texts({"txtd12", "txtd14", "txtd16", "txtd18", "txtd20", "txtd22", "txtd25", "txtd28",
                     "txtd30", "txtd32", "txtd34"}),
              (std::vector<std::string>{" 23", " 17", " 13", " 10", " 9", " 7", " 6", " 5", " 4",
                                        " 4", " 3"}));
    for (const ResultBox& r : kCheckResultBoxes) {
        const char* box = r.name;
        EXPECT_EQ(text(box), QString()) << box;
    }
}

TEST_F(CalculateTest, DesignSecondTypeAndMinimumRatio) {
    design_section(QStringLiteral("1300"));
    click("cmdrun");
    EXPECT_EQ(texts({"txtagl", "txtupj", "txtx", "txtd12", "txtd34"}),
              (std::vector<std::string>{" 72.345", " 4.823", " 0.2481", " 64", " 8"}));

    pick_by_keys("cbohnt", -1); // focus only
    QTest::keyClick(widget("cbohnt"), Qt::Key_Up);
    QTest::keyClick(widget("cbohnt"), Qt::Key_Up); // 15号
    QTest::keyClick(widget("cbodj"), Qt::Key_Up);  // Ⅰ级
    type("txtbi", QStringLiteral("0.5"));
    type("txthi", QStringLiteral("0.01"));
    type("txtb", QStringLiteral("0.5"));
    type("txth", QStringLiteral("1.05"));
    type("txtmj", QStringLiteral("40"));
    click("cmdrun");
    EXPECT_EQ(texts({"txtagl", "txtupj", "txtx", "txtd12", "txtd14", "txtd16", "txtd18", "txtd20",
                     "txtd22", "txtd25", "txtd28", "txtd30", "txtd32", "txtd34"}),
              (std::vector<std::string>{" 7.5", " 0.041", " 0.0118", " 7", " 5", " 4", " 3", " 3",
                                        " 2", " 2", " 2", " 1", " 1", " 1"}));
}

TEST_F(CalculateTest, RedimensionLeavesEveryBoxAsItWas) {
    design_section(QStringLiteral("1300"));
    click("cmdrun");
    const auto before = all_boxes();
    type("txtmj", QStringLiteral("1500"));
    messages.expect(MessageIcon::Information, QStringLiteral("请重新拟定构件的尺寸！"));
    click("cmdrun");
    auto after = all_boxes();
    EXPECT_EQ(after["txtmj"], QStringLiteral("1500"));
    after["txtmj"] = before.at("txtmj");
    EXPECT_EQ(after, before);
    EXPECT_EQ(state().mj, 1500.0) << "the inputs of the run are stored all the same";
    EXPECT_EQ(state().as_req, 72.345) << "the results of the last completed run stay";
}

struct CheckRow {
    const char* name;
    const char* area;
    const char* moment;
    const char* x;
    const char* m_ult;
    const char* verdict;
};

// Test names show the row's name, not its bytes.
void PrintTo(const CheckRow& row, std::ostream* os) {
    *os << row.name;
}

class CheckExamples : public CalculateTest, public ::testing::WithParamInterface<CheckRow> {};

TEST_P(CheckExamples, ShowsHeightMomentAndVerdictAndEmptiesTheDesignBoxes) {
    const CheckRow& row = GetParam();
    design_section(QStringLiteral("500"));
    click("cmdrun");
    ASSERT_EQ(text("txtagl"), QStringLiteral(" 25.528"));
    check_section(QString::fromUtf8(row.area), QString::fromUtf8(row.moment));
    click("cmdrun");
    EXPECT_EQ(texts({"txtxpd", "txtmpd", "txtpd"}),
              (std::vector<std::string>{row.x, row.m_ult, row.verdict}));
    for (const ResultBox& r : kDesignResultBoxes) {
        const char* box = r.name;
        EXPECT_EQ(text(box), QString()) << box;
    }
}

const CheckRow kCheckRows[] = {
    {"FirstTypePasses", "50", "1500", " 0.0965", " 1607.118", "通过验算"},
    {"SecondTypePasses", "80", "2500", " 0.427", " 2442.056", "通过验算"},
    {"SecondTypeFails", "80", "3000", " 0.427", " 2442.056", "未通过"},
};

INSTANTIATE_TEST_SUITE_P(WorkedExamples, CheckExamples, ::testing::ValuesIn(kCheckRows),
                         [](const ::testing::TestParamInfo<CheckRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(CalculateTest, NoModeChosenShowsTheMessageAndReadsNothing) {
    pick_by_keys("cbohnt", 2);
    pick_by_keys("cbodj", 1);
    type("txtbc", QStringLiteral("0.05"));
    type("txtmj", QStringLiteral("500"));
    messages.expect(MessageIcon::Information, QStringLiteral("请选择配筋计算或强度验算"));
    click("cmdrun");
    EXPECT_FALSE(state().bc);
    EXPECT_FALSE(state().mj);
    EXPECT_FALSE(state().h0);
    EXPECT_EQ(state().ratio_min, 0.0);
    EXPECT_EQ(text("txtagl"), QStringLiteral(" "));
}

TEST_F(CalculateTest, HiddenSteelAreaIsReadInDesignModeButChangesNoResult) {
    design_section(QStringLiteral("500"));
    click("optpd");
    type("txtag", QStringLiteral("25"));
    click("optpj");
    click("cmdrun");
    EXPECT_EQ(state().ag, 0.0025);
    EXPECT_EQ(text("txtagl"), QStringLiteral(" 25.528"));
}

TEST_F(CalculateTest, NegativeMomentShowsNegativeResultsAndZeroCounts) {
    design_section(QStringLiteral("-1"));
    click("cmdrun");
    EXPECT_EQ(text("txtagl").left(2), QStringLiteral("-0"));
    EXPECT_EQ(text("txtd34"), QStringLiteral(" 0"));
}

struct FaultRow {
    const char* name;
    bool pick_concrete;
    bool pick_steel;
    const char* web_width;
    const char* moment;
    const char* kind;
};

// Test names show the row's name, not its bytes.
void PrintTo(const FaultRow& row, std::ostream* os) {
    *os << row.name;
}

class FaultMessage : public CalculateTest, public ::testing::WithParamInterface<FaultRow> {};

TEST_P(FaultMessage, WarnsKeepsEveryBoxAndTheNextRunWorks) {
    const FaultRow& row = GetParam();
    if (row.pick_concrete && row.pick_steel) {
        design_section(QStringLiteral("500")); // a completed run whose boxes must stay
        click("cmdrun");
        ASSERT_EQ(text("txtagl"), QStringLiteral(" 25.528"));
    } else {
        if (row.pick_concrete) {
            pick_by_keys("cbohnt", 2);
        }
        if (row.pick_steel) {
            pick_by_keys("cbodj", 1);
        }
        click("optpj");
        type("txtbc", QStringLiteral("0.05"));
        type("txtbi", QStringLiteral("1.0"));
        type("txthi", QStringLiteral("0.15"));
        type("txth", QStringLiteral("0.8"));
    }
    type("txtb", QString::fromUtf8(row.web_width));
    type("txtmj", QString::fromUtf8(row.moment));
    const auto before = all_boxes();
    const auto report_before = report_copy(state());
    messages.expect(MessageIcon::Warning,
                    QStringLiteral("计算出错：") + QString::fromUtf8(row.kind) +
                        QStringLiteral("。请检查混凝土标号和钢筋等级是否都已选择，"
                                       "各尺寸是否为零或超出范围。"));
    click("cmdrun");
    EXPECT_EQ(all_boxes(), before);
    EXPECT_EQ(report_copy(state()), report_before)
        << "a faulted run left part of its values for the next report";
    EXPECT_TRUE(form->isVisible());

    // Mend the input and run again: the window is still fully usable.
    if (!row.pick_concrete) {
        pick_by_keys("cbohnt", 2);
    }
    if (!row.pick_steel) {
        pick_by_keys("cbodj", 1);
    }
    type("txtb", QStringLiteral("0.2"));
    type("txtmj", QStringLiteral("500"));
    click("cmdrun");
    EXPECT_EQ(text("txtagl"), QStringLiteral(" 25.528"));
}

const FaultRow kFaultRows[] = {
    {"NoConcreteGrade", false, true, "0.2", "500", "除数为零"},
    {"NoSteelGrade", true, false, "0.2", "500", "除数为零"},
    {"ZeroWebWidth", true, true, "0", "500", "除数为零"},
    {"EmptyWebWidth", true, true, "", "500", "除数为零"},
    {"BarCountBeyond16Bits", true, true, "0.2", "-1e308", "数值溢出"},
    {"RatioBeyondADouble", true, true, "1e-310", "500", "数值溢出"},
    {"MomentBeyondADouble", true, true, "0.2", "1e999", "数值溢出"},
};

INSTANTIATE_TEST_SUITE_P(ArithmeticFaults, FaultMessage, ::testing::ValuesIn(kFaultRows),
                         [](const ::testing::TestParamInfo<FaultRow>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(CalculateTest, InputBoxesKeepWhatWasTypedThroughEveryRun) {
    design_section(QStringLiteral("１３００"));
    type("txtrg", QStringLiteral("MPa"));
    type("txtag", QStringLiteral("abc"));
    std::map<std::string, QString> typed;
    for (const char* box : kInputBoxes) {
        typed[box] = text(box);
    }
    messages.expect(MessageIcon::Warning,
                    QStringLiteral("计算出错：除数为零。请检查混凝土标号和钢筋等级是否都已选择，"
                                   "各尺寸是否为零或超出范围。"));
    click("cmdrun"); // a strength without a number reads as 0, by which the design divides
    for (const char* box : kInputBoxes) {
        EXPECT_EQ(text(box), typed[box]) << box;
    }
    type("txtrg", QString());
    click("cmdrun");
    EXPECT_EQ(text("txtagl"), QStringLiteral(" 72.345")) << "full-width digits read as digits";
}

} // namespace
