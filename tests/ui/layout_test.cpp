// SPDX-License-Identifier: GPL-3.0-or-later
// The fixed layout of the window: every control by name with its kind, container, geometry in
// twips (1/15 of a device-independent pixel) and caption, then the focus chain and the start state.
#include "gui_test_support.h"
#include "widget_description.h"

#include <QAccessible>
#include <QComboBox>
#ifdef ZHUHENG_ATSPI_TREE
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#endif
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <set>

using namespace zhuheng;

namespace {

struct ControlRow {
    const char* name;
    const char* kind;
    const char* parent;
    int left, top, width, height; // twips
    const char* text;
    // A box's name for a screen reader: its label's text, led by the frame's caption or by
    // 主筋直径（根） where the label alone does not say which box it is.
    const char* accessible_name = nullptr;
};

// Test names show the row's name, not its bytes.
void PrintTo(const ControlRow& row, std::ostream* os) {
    *os << row.name;
}

const ControlRow kControls[] = {
    {"MainForm", "window", "-", 0, 0, 7395, 4575, "筑衡"},
    {"Frame1", "frame", "MainForm", 0, 0, 2775, 4575, "原始数据"},
    {"optpj", "option", "Frame1", 120, 360, 1095, 375, "配筋计算"},
    {"optpd", "option", "Frame1", 1560, 360, 1095, 375, "强度复核"},
    {"Label1", "label", "Frame1", 480, 960, 975, 255, "混凝土标号"},
    {"cbohnt", "combo", "Frame1", 1560, 840, 1095, 300, " ", "混凝土标号"},
    {"Label2", "label", "Frame1", 600, 1320, 975, 255, "钢筋等级"},
    {"cbodj", "combo", "Frame1", 1560, 1200, 1095, 300, " ", "钢筋等级"},
    {"Label27", "label", "Frame1", 120, 1680, 1455, 255, "钢筋强度（MPa）"},
    {"txtrg", "textbox", "Frame1", 1560, 1680, 1095, 270, "", "钢筋强度（MPa）"},
    {"Label3", "label", "Frame1", 120, 2040, 1575, 255, "钢筋面积（cm2）"},
    {"txtag", "textbox", "Frame1", 1560, 2040, 1095, 270, "", "钢筋面积（cm2）"},
    {"Label4", "label", "Frame1", 120, 2400, 1455, 255, "保护层厚度（m）"},
    {"txtbc", "textbox", "Frame1", 1560, 2400, 1095, 270, "", "保护层厚度（m）"},
    {"Label5", "label", "Frame1", 240, 2760, 1455, 255, "翼缘宽度（m）"},
    {"txtbi", "textbox", "Frame1", 1560, 2760, 1095, 270, "", "翼缘宽度（m）"},
    {"Label6", "label", "Frame1", 240, 3120, 1455, 255, "翼缘厚度（m）"},
    {"txthi", "textbox", "Frame1", 1560, 3120, 1095, 270, "", "翼缘厚度（m）"},
    {"Label7", "label", "Frame1", 240, 3480, 1455, 255, "梁肋宽度（m）"},
    {"txtb", "textbox", "Frame1", 1560, 3480, 1095, 270, "", "梁肋宽度（m）"},
    {"Label8", "label", "Frame1", 240, 3840, 1335, 255, "梁体高度（m）"},
    {"txth", "textbox", "Frame1", 1560, 3840, 1095, 270, "", "梁体高度（m）"},
    {"Label9", "label", "Frame1", 120, 4200, 1455, 255, "承受弯矩（KN.m）"},
    {"txtmj", "textbox", "Frame1", 1560, 4200, 1095, 270, "", "承受弯矩（KN.m）"},
    {"Frame2", "frame", "MainForm", 2880, 0, 4455, 2895, "配筋结果"},
    {"Label10", "label", "Frame2", 120, 360, 1935, 255, "受拉钢筋面积（cm2）"},
    {"txtagl", "textbox", "Frame2", 1800, 360, 975, 270, " ", "受拉钢筋面积（cm2）"},
    {"Label11", "label", "Frame2", 840, 720, 1095, 255, "配筋率（%）"},
    {"txtupj", "textbox", "Frame2", 1800, 720, 975, 270, " ", "配筋率（%）"},
    {"Label12", "label", "Frame2", 600, 1080, 1215, 255, "计算高度（m）"},
    {"txtx", "textbox", "Frame2", 1800, 1080, 975, 270, " ", "配筋结果 计算高度（m）"},
    {"Label13", "label", "Frame2", 120, 1440, 1815, 255, "主筋直径（根）D12＝"},
    {"txtd12", "textbox", "Frame2", 1800, 1440, 975, 270, " ", "主筋直径（根）D12＝"},
    {"Label14", "label", "Frame2", 1320, 1800, 495, 255, "D14＝"},
    {"txtd14", "textbox", "Frame2", 1800, 1800, 975, 270, " ", "主筋直径（根）D14＝"},
    {"Label15", "label", "Frame2", 1320, 2160, 495, 255, "D16＝"},
    {"txtd16", "textbox", "Frame2", 1800, 2160, 975, 270, " ", "主筋直径（根）D16＝"},
    {"Label16", "label", "Frame2", 1320, 2520, 495, 255, "D18＝"},
    {"txtd18", "textbox", "Frame2", 1800, 2520, 975, 270, " ", "主筋直径（根）D18＝"},
    {"Label17", "label", "Frame2", 2880, 360, 615, 255, "D20＝"},
    {"txtd20", "textbox", "Frame2", 3360, 360, 975, 270, " ", "主筋直径（根）D20＝"},
    {"Label18", "label", "Frame2", 2880, 720, 495, 255, "D22＝"},
    {"txtd22", "textbox", "Frame2", 3360, 720, 975, 270, " ", "主筋直径（根）D22＝"},
    {"Label19", "label", "Frame2", 2880, 1080, 495, 255, "D25＝"},
    {"txtd25", "textbox", "Frame2", 3360, 1080, 975, 270, " ", "主筋直径（根）D25＝"},
    {"Label20", "label", "Frame2", 2880, 1440, 495, 255, "D28＝"},
    {"txtd28", "textbox", "Frame2", 3360, 1440, 975, 270, " ", "主筋直径（根）D28＝"},
    {"Label21", "label", "Frame2", 2880, 1800, 495, 255, "D30＝"},
    {"txtd30", "textbox", "Frame2", 3360, 1800, 975, 270, " ", "主筋直径（根）D30＝"},
    {"Label22", "label", "Frame2", 2880, 2160, 615, 255, "D32＝"},
    {"txtd32", "textbox", "Frame2", 3360, 2160, 975, 270, " ", "主筋直径（根）D32＝"},
    {"Label23", "label", "Frame2", 2880, 2520, 615, 255, "D34＝"},
    {"txtd34", "textbox", "Frame2", 3360, 2520, 975, 270, " ", "主筋直径（根）D34＝"},
    {"Frame3", "frame", "MainForm", 2880, 3000, 4455, 1095, "强度复核"},
    {"Label24", "label", "Frame3", 480, 240, 1215, 255, "计算高度（m）"},
    {"txtxpd", "textbox", "Frame3", 1800, 240, 975, 270, "", "强度复核 计算高度（m）"},
    {"Label25", "label", "Frame3", 360, 720, 1455, 255, "最大弯矩（KN.m）"},
    {"txtmpd", "textbox", "Frame3", 1800, 720, 975, 270, " ", "强度复核 最大弯矩（KN.m）"},
    {"Label26", "label", "Frame3", 2880, 720, 615, 255, "结果"},
    {"txtpd", "textbox", "Frame3", 3360, 720, 975, 270, " ", "强度复核 结果"},
    {"cmdrun", "button", "MainForm", 3360, 4200, 1215, 375, "计  算"},
    {"cmdprint", "button", "MainForm", 4560, 4200, 1215, 375, "打  印"},
    {"cmdexit", "button", "MainForm", 5760, 4200, 1215, 375, "退  出"},
};

class ControlLayout : public MainFormTest, public ::testing::WithParamInterface<ControlRow> {};

TEST_P(ControlLayout, KindContainerGeometryAndCaption) {
    const ControlRow& row = GetParam();
    const QWidget* w =
        QString::fromLatin1(row.name) == QLatin1String("MainForm") ? form.get() : widget(row.name);
    ASSERT_TRUE(w);
    EXPECT_STREQ(control_kind(w), row.kind);
    const QString parent = w->isWindow() ? QStringLiteral("-") : w->parentWidget()->objectName();
    EXPECT_EQ(parent.toStdString(), row.parent);
    const QRect g = w->isWindow() ? QRect(QPoint(0, 0), w->size()) : w->geometry();
    EXPECT_EQ(g.x() * 15, row.left);
    EXPECT_EQ(g.y() * 15, row.top);
    EXPECT_EQ(g.width() * 15, row.width);
    EXPECT_EQ(g.height() * 15, row.height);
    EXPECT_EQ(control_text(w).toStdString(), row.text);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(EveryControl, ControlLayout, ::testing::ValuesIn(kControls),
                         [](const ::testing::TestParamInfo<ControlRow>& info) {
                             return std::string(info.param.name);
                         });

// The desktop's scale the run shows the window at: 1, or ZHUHENG_DISPLAY_SCALE where the run sets
// one (with QT_SCALE_FACTOR on Linux, with the display's LogPixels under wine).
double display_scale() {
    const QByteArray given = qgetenv("ZHUHENG_DISPLAY_SCALE");
    return given.isEmpty() ? 1.0 : given.toDouble();
}

// The nearest control to the right of `row` in its container whose rows overlap its own, or
// nullptr where there is none.
const ControlRow* right_neighbour(const ControlRow& row) {
    const ControlRow* nearest = nullptr;
    for (const ControlRow& other : kControls) {
        if (std::strcmp(other.parent, row.parent) == 0 && other.left > row.left &&
            other.top < row.top + row.height && row.top < other.top + other.height &&
            (!nearest || other.left < nearest->left)) {
            nearest = &other;
        }
    }
    return nearest;
}

// Where the drawn text of `w` ends, in device pixels from its left edge: past the rightmost column
// of the widget, drawn alone at the window's scale, that differs from its background.
int ink_right(QWidget* w) {
    const QImage image = w->grab().toImage();
    const QRgb background = image.pixel(0, 0);
    for (int x = image.width() - 1; x >= 0; --x) {
        for (int y = 0; y < image.height(); ++y) {
            if (image.pixel(x, y) != background) {
                return x + 1;
            }
        }
    }
    return 0;
}

// Every caption fits its rectangle in the pinned face at the window's 11 pixels as the desktop
// scales it (at 150 % the text has 16.5 device pixels, the rectangle 1.5 times its size: measured
// from the text's advance at that size), and no label's text, as drawn at that scale, runs under
// the control to its right. Each prints the room it leaves, in device pixels.
class CaptionFit : public MainFormTest, public ::testing::WithParamInterface<ControlRow> {};

TEST_P(CaptionFit, CaptionFitsItsRectangleAtTheDisplaysScale) {
    const ControlRow& row = GetParam();
    QWidget* w = widget(row.name);
    ASSERT_TRUE(w);
    EXPECT_EQ(QFontInfo(w->font()).family(), QStringLiteral("WenQuanYi Micro Hei"))
        << "the pinned face is not installed or not used";
    EXPECT_EQ(w->font().pixelSize(), 11);
    const double scale = w->devicePixelRatioF();
    ASSERT_DOUBLE_EQ(scale, display_scale()) << "the window is not drawn at the desktop's scale";
    const QString caption = control_text(w);
    const QString kind = QString::fromLatin1(row.kind);
    const QStyle* style = w->style();
    // Room the control leaves for its text, in pixels at scale 1.
    double chrome = 0;
    if (kind == QLatin1String("option")) {
        chrome = style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
                 style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
    } else if (kind == QLatin1String("button")) {
        chrome = 2 * (style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) +
                      style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w));
    } else if (kind == QLatin1String("frame")) {
        chrome = 2 * 8; // the title stands inset from the frame's corner
    }
    QImage device(1, 1, QImage::Format_RGB32); // 96 dots per inch
    QFont scaled = w->font();
    scaled.setPointSizeF(11.0 * scale * 72.0 / device.logicalDpiY());
    const QFontMetricsF metrics(scaled, &device);
    const double advance = metrics.horizontalAdvance(caption) + chrome * scale;
    const double width = w->width() * scale;
    EXPECT_LE(advance, width) << row.name << " at scale " << scale;
    EXPECT_LE(metrics.height(), w->height() * scale) << row.name << " at scale " << scale;
    double room = width - advance;
    if (kind == QLatin1String("label")) {
        const ControlRow* next = right_neighbour(row);
        const int right = next ? widget(next->name)->x() : w->parentWidget()->width();
        const double clear = (right - w->x()) * scale - ink_right(w);
        EXPECT_GE(clear, 0) << row.name << "'s text runs under the control to its right at scale "
                            << scale;
        room = std::min(room, clear);
    }
    std::cout << row.name << " at " << scale * 100 << " %: " << room << " px to spare\n";
}

std::vector<ControlRow> captioned_controls() {
    std::vector<ControlRow> rows;
    for (const ControlRow& row : kControls) {
        for (const char* kind : {"frame", "option", "label", "button"}) {
            if (std::string(row.kind) == kind) {
                rows.push_back(row);
            }
        }
    }
    return rows;
}

INSTANTIATE_TEST_SUITE_P(EveryCaption, CaptionFit, ::testing::ValuesIn(captioned_controls()),
                         [](const ::testing::TestParamInfo<ControlRow>& info) {
                             return std::string(info.param.name);
                         });

// A screen reader names each input and result box by the label beside it, alone where it says
// which box it is, else led by the frame's caption; a grade list, whose name on Linux is its
// text, is labelled by its label. No two boxes share a name, and a reader that speaks the label
// instead of the box hears the same name.
TEST_F(MainFormTest, EveryBoxIsNamedByItsLabel) {
    int named = 0;
    std::set<std::string> names;
    for (std::size_t i = 0; i + 1 < std::size(kControls); ++i) {
        const ControlRow& label = kControls[i];
        const ControlRow& box = kControls[i + 1];
        const std::string kind = box.kind;
        if (std::string(label.kind) != "label" || (kind != "textbox" && kind != "combo")) {
            continue;
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget(box.name));
        ASSERT_TRUE(accessible) << box.name;
        ASSERT_TRUE(box.accessible_name) << box.name;
        const std::string name = box.accessible_name;
        EXPECT_EQ(name.substr(name.size() - std::min(name.size(), std::strlen(label.text))),
                  label.text)
            << box.name;
        if (kind == "textbox") {
            EXPECT_EQ(accessible->text(QAccessible::Name).toStdString(), name) << box.name;
        } else {
            EXPECT_EQ(name, label.text) << box.name;
            const auto relations = accessible->relations(QAccessible::Label);
            EXPECT_TRUE(std::any_of(relations.begin(), relations.end(), [&](const auto& r) {
                return r.first->object() == widget(label.name);
            })) << box.name;
        }
        // A reader that speaks the label a box is labelled by (not the frame it stands in)
        // hears the box's name; so it does in a list's text part, which no label names.
        for (const auto& [by, relation] : accessible->relations(QAccessible::Label)) {
            if (!qobject_cast<QGroupBox*>(by->object())) {
                EXPECT_EQ(by->text(QAccessible::Name).toStdString(), name) << box.name;
            }
        }
        if (kind == "combo") {
            QWidget* text_part = widget<QComboBox>(box.name)->lineEdit();
            EXPECT_EQ(QAccessible::queryAccessibleInterface(text_part)
                          ->text(QAccessible::Name)
                          .toStdString(),
                      name)
                << box.name;
        }
        EXPECT_TRUE(names.insert(name).second) << box.name << " shares the name " << name;
        ++named;
    }
    EXPECT_EQ(named, 27);
}

#ifdef ZHUHENG_ATSPI_TREE
// The window as a screen reader on Linux reads it: from the AT-SPI tree, over the accessibility
// bus, through the program's own D-Bus connection there. Run by atspi_session.sh
// (ui.screen_reader_names), which starts the display and the buses.
class AtSpiTree : public MainFormTest {
protected:
    void TearDown() override {
        MainFormTest::TearDown();
        QDBusConnection::disconnectFromBus(bus_.name());
    }

    // AT-SPI's LABELLED_BY relation.
    static constexpr uint kLabelledBy = 2;

    struct Object {
        QString service;
        QString path;
    };

    QDBusMessage call(const Object& o, const char* interface, const char* method,
                      const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            o.service, o.path, QString::fromLatin1(interface), QString::fromLatin1(method));
        message.setArguments(arguments);
        // The program answers on this same thread: its events must run while the call waits.
        const QDBusMessage reply = bus_.call(message, QDBus::BlockWithGui, 5000);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            ADD_FAILURE() << method << " on " << o.path.toStdString() << ": "
                          << reply.errorMessage().toStdString();
        }
        return reply;
    }

    QString name(const Object& o) {
        const QDBusMessage reply =
            call(o, "org.freedesktop.DBus.Properties", "Get",
                 {QStringLiteral("org.a11y.atspi.Accessible"), QStringLiteral("Name")});
        return reply.arguments().value(0).value<QDBusVariant>().variant().toString();
    }

    static std::vector<Object> objects(const QDBusArgument& array) {
        std::vector<Object> out;
        array.beginArray();
        while (!array.atEnd()) {
            QString service;
            QDBusObjectPath path;
            array.beginStructure();
            array >> service >> path;
            array.endStructure();
            out.push_back({service, path.path()});
        }
        array.endArray();
        return out;
    }

    std::vector<Object> children(const Object& o) {
        const QDBusMessage reply = call(o, "org.a11y.atspi.Accessible", "GetChildren");
        return objects(reply.arguments().value(0).value<QDBusArgument>());
    }

    // What a reader says a box is: the names of the labels it is labelled by, else its own name.
    // Qt has a box also labelled by the frame it stands in; a reader leaves out a label that
    // contains the box, as Orca does, and speaks the frame only on entering it.
    QString spoken(const Object& o) {
        std::set<QString> containers;
        for (auto up = parents_.find(o.path); up != parents_.end();
             up = parents_.find(up->second)) {
            containers.insert(up->second);
        }
        const QDBusMessage reply = call(o, "org.a11y.atspi.Accessible", "GetRelationSet");
        const QDBusArgument relations = reply.arguments().value(0).value<QDBusArgument>();
        QStringList labels;
        relations.beginArray();
        while (!relations.atEnd()) {
            uint type = 0;
            relations.beginStructure();
            relations >> type;
            const std::vector<Object> targets = objects(relations);
            relations.endStructure();
            for (const Object& target : targets) {
                if (type == kLabelledBy && !containers.count(target.path)) {
                    labels << name(target);
                }
            }
        }
        relations.endArray();
        return labels.isEmpty() ? name(o) : labels.join(QChar(' '));
    }

    // The program's connection on the accessibility bus, as the bus's registry lists it.
    std::optional<QString> program_service() {
        const Object desktop{QStringLiteral("org.a11y.atspi.Registry"),
                             QStringLiteral("/org/a11y/atspi/accessible/root")};
        for (int wait = 0; wait < 100; ++wait) {
            for (const Object& app : children(desktop)) {
                if (name(app) == QGuiApplication::applicationDisplayName()) {
                    return app.service;
                }
            }
            QTest::qWait(50);
        }
        return std::nullopt;
    }

    // Qt's bridge names an object's path by its accessibility id.
    static QString path_of(QWidget* w) {
        return QStringLiteral("/org/a11y/atspi/accessible/") +
               QString::number(QAccessible::uniqueId(QAccessible::queryAccessibleInterface(w)));
    }

    QDBusConnection bus_{QString()};
    std::map<QString, QString> parents_; // by path, of every object reached from the root
};

TEST_F(AtSpiTree, EveryBoxIsSpokenByItsOwnName) {
    for (int wait = 0; wait < 100 && !QAccessible::isActive(); ++wait) {
        QTest::qWait(50);
    }
    ASSERT_TRUE(QAccessible::isActive())
        << "Qt did not switch its AT-SPI bridge on: no accessibility bus in this session";
    const QDBusMessage address = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
        QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")));
    ASSERT_EQ(address.type(), QDBusMessage::ReplyMessage) << address.errorMessage().toStdString();
    bus_ = QDBusConnection::connectToBus(address.arguments().value(0).toString(),
                                         QStringLiteral("zhuheng-screen-reader"));
    ASSERT_TRUE(bus_.isConnected()) << bus_.lastError().message().toStdString();
    const std::optional<QString> service = program_service();
    ASSERT_TRUE(service) << "the registry of the accessibility bus does not list the program";

    // Every object a reader reaches from the program's root, and its parent.
    std::set<QString> reached;
    std::vector<Object> pending = {{*service, QStringLiteral("/org/a11y/atspi/accessible/root")}};
    while (!pending.empty()) {
        const Object o = pending.back();
        pending.pop_back();
        if (reached.insert(o.path).second) {
            for (const Object& child : children(o)) {
                parents_.emplace(child.path, o.path);
                pending.push_back(child);
            }
        }
    }

    std::set<QString> said;
    int boxes = 0;
    for (std::size_t i = 0; i + 1 < std::size(kControls); ++i) {
        const ControlRow& label = kControls[i];
        const ControlRow& box = kControls[i + 1];
        if (std::string(label.kind) != "label" || !box.accessible_name) {
            continue;
        }
        std::vector<QWidget*> parts = {widget(box.name)};
        if (auto* list = qobject_cast<QComboBox*>(parts.front())) {
            parts.push_back(list->lineEdit()); // its text part, which takes the typing
        }
        for (QWidget* part : parts) {
            const Object o{*service, path_of(part)};
            ASSERT_TRUE(reached.count(o.path)) << box.name << " is not in the tree";
            const QString text = spoken(o);
            EXPECT_EQ(text.toStdString(), box.accessible_name) << box.name;
            if (part == parts.front()) {
                EXPECT_TRUE(said.insert(text).second)
                    << box.name << " is spoken as another box: " << text.toStdString();
            }
        }
        ++boxes;
    }
    EXPECT_EQ(boxes, 27);
}
#endif

// A screen reader announces the program by its Chinese name, not by its file name.
TEST_F(MainFormTest, TheProgramIsAnnouncedAsZhuheng) {
    QAccessibleInterface* program = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_TRUE(program);
    EXPECT_EQ(program->text(QAccessible::Name), QStringLiteral("筑衡"));
}

// Qt's own texts in the window and its boxes are Simplified Chinese whatever the locale (the
// tests run under C.UTF-8).
TEST_F(MainFormTest, QtsOwnTextsAreChinese) {
    std::unique_ptr<QMenu> menu(widget<QLineEdit>("txtmj")->createStandardContextMenu());
    ASSERT_FALSE(menu->actions().isEmpty());
    EXPECT_EQ(menu->actions().first()->text().section(QChar('\t'), 0, 0),
              QStringLiteral("撤消(&U)"));
    const QMessageBox box(QMessageBox::Information, QStringLiteral("筑衡"), QString(),
                          QMessageBox::Ok);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
}

// The window's controls are made while the application's font is the window's 11 pixels; what
// opens afterwards, a message box or a box's context menu, has the pinned face at the desktop's
// size again.
TEST_F(MainFormTest, DialogsAndMenusHaveThePinnedFaceAtTheDesktopsSize) {
    const QFont desktop = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    const QMessageBox box(QMessageBox::Information, QStringLiteral("筑衡"), QString(),
                          QMessageBox::Ok);
    std::unique_ptr<QMenu> menu(widget<QLineEdit>("txtmj")->createStandardContextMenu());
    for (const QWidget* w : std::initializer_list<const QWidget*>{&box, menu.get()}) {
        EXPECT_EQ(QFontInfo(w->font()).family(), QStringLiteral("WenQuanYi Micro Hei"))
            << w->metaObject()->className();
        EXPECT_EQ(w->font().pointSizeF(), desktop.pointSizeF()) << w->metaObject()->className();
        EXPECT_EQ(w->font().pixelSize(), desktop.pixelSize()) << w->metaObject()->className();
    }
}

// The window's popups (打  印's menu) are no controls of its layout.
TEST_F(MainFormTest, WindowHasNoOtherControlsThanTheTable) {
    int named = 0;
    for (const QWidget* w : form->findChildren<QWidget*>()) {
        if (!w->isWindow() && std::string(control_kind(w)) != "other" && w->parentWidget() &&
            qobject_cast<const QComboBox*>(w->parentWidget()) == nullptr) {
            ++named;
        }
    }
    EXPECT_EQ(named + 1, static_cast<int>(std::size(kControls)));
}

TEST_F(MainFormTest, WindowIsFixedWithIconAndNoMenu) {
    EXPECT_EQ(form->minimumSize(), QSize(493, 305));
    EXPECT_EQ(form->maximumSize(), QSize(493, 305));
    EXPECT_FALSE(form->windowIcon().isNull());
    const QImage icon(QStringLiteral(":/zhuheng/zhuheng.png"));
    EXPECT_EQ(icon.size(), QSize(84, 84));
    EXPECT_EQ(icon.format(), QImage::Format_Indexed8);
    EXPECT_LE(icon.colorCount(), 256);
}

TEST_F(MainFormTest, TabWalksTheFocusChainFromOptpj) {
    const std::vector<std::string> chain = {
        "optpj",   "optpd",  "cbohnt", "cbodj",  "txtrg",  "txtag",  "txtbc",    "txtbi",
        "txthi",   "txtb",   "txth",   "txtmj",  "cmdrun", "txtagl", "cmdprint", "txtupj",
        "cmdexit", "txtx",   "txtd12", "txtd14", "txtd16", "txtd18", "txtd20",   "txtd22",
        "txtd25",  "txtd28", "txtd30", "txtd32", "txtd34", "txtxpd", "txtmpd",   "txtpd"};
    std::vector<std::string> seen;
    for (std::size_t i = 0; i <= chain.size(); ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_TRUE(focus);
        seen.push_back(focus->objectName().toStdString());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    std::vector<std::string> expected = chain;
    expected.push_back("optpj"); // round again
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(state().mode, CalcMode::None) << "focus alone chooses no calculation";
}

TEST_F(MainFormTest, StartsWithNothingChosen) {
    EXPECT_EQ(state().mode, CalcMode::None);
    EXPECT_FALSE(widget<QRadioButton>("optpj")->isChecked());
    EXPECT_FALSE(widget<QRadioButton>("optpd")->isChecked());
    EXPECT_TRUE(widget("txtag")->isVisible());
    EXPECT_FALSE(state().ra || state().rg || state().xi_jg);
    EXPECT_EQ(state().ratio_min, 0.0);

    const QStringList concrete = {"15号", "20号", "25号", "30号", "40号", "50号", "60号"};
    const QStringList steel = {"Ⅰ级", "Ⅱ级", "Ⅲ级", "Ⅳ级", "5号"};
    for (auto [name, items] : {std::pair{"cbohnt", concrete}, std::pair{"cbodj", steel}}) {
        QComboBox* list = widget<QComboBox>(name);
        EXPECT_EQ(list->currentIndex(), -1) << name;
        EXPECT_EQ(list->currentText(), QStringLiteral(" ")) << name;
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) {
            shown << list->itemText(i);
        }
        EXPECT_EQ(shown, items) << name;
    }
}

TEST_F(MainFormTest, DesignHidesOnlyTheSteelAreaBoxAndCheckShowsItIntact) {
    click("optpd");
    EXPECT_EQ(state().mode, CalcMode::Check);
    type("txtag", QStringLiteral("25"));
    click("optpj");
    EXPECT_EQ(state().mode, CalcMode::Design);
    EXPECT_TRUE(widget<QRadioButton>("optpj")->isChecked());
    EXPECT_FALSE(widget<QRadioButton>("optpd")->isChecked());
    EXPECT_FALSE(widget("txtag")->isVisible());
    EXPECT_TRUE(widget("Label3")->isVisible());
    EXPECT_EQ(text("txtag"), QStringLiteral("25"));
    click("optpd");
    EXPECT_EQ(state().mode, CalcMode::Check);
    EXPECT_FALSE(widget<QRadioButton>("optpj")->isChecked());
    EXPECT_TRUE(widget("txtag")->isVisible());
    EXPECT_EQ(text("txtag"), QStringLiteral("25"));
    EXPECT_EQ(text("txtagl"), QStringLiteral(" ")) << "a mode switch changes no result box";
}

TEST_F(MainFormTest, ArrowKeysBetweenTheOptionsChooseTheMode) {
    click("optpj");
    QTest::keyClick(widget("optpj"), Qt::Key_Right);
    EXPECT_TRUE(widget<QRadioButton>("optpd")->isChecked());
    EXPECT_EQ(state().mode, CalcMode::Check);
    EXPECT_TRUE(widget("txtag")->isVisible());
}

// Enter and Return on a focused push button press it, as Space does; in a box they do nothing.
TEST_F(MainFormTest, EnterPressesTheFocusedButton) {
    int requests = 0;
    QObject::connect(form.get(), &MainForm::exitRequested, [&] { ++requests; });
    widget("txtmj")->setFocus();
    QTest::keyClick(widget("txtmj"), Qt::Key_Return);
    messages.expect(MessageIcon::Information, QStringLiteral("请选择配筋计算或强度验算"));
    widget("cmdrun")->setFocus();
    QTest::keyClick(widget("cmdrun"), Qt::Key_Return);
    messages.expect(MessageIcon::Information, QStringLiteral("请选择配筋计算或强度验算"));
    QTest::keyClick(widget("cmdrun"), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_TRUE(messages.all_shown());
    widget("cmdexit")->setFocus();
    QTest::keyClick(widget("cmdexit"), Qt::Key_Return);
    EXPECT_EQ(requests, 1);
}

TEST_F(MainFormTest, ExitButtonAndClosingEndTheProgram) {
    int requests = 0;
    QObject::connect(form.get(), &MainForm::exitRequested, [&] { ++requests; });
    click("cmdexit");
    EXPECT_EQ(requests, 1);
    form->close();
    EXPECT_EQ(requests, 2);
}

} // namespace
