#pragma once

#include "reportengine/Expression.h"
#include "reportengine/TextTemplate.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// The loaded form of a report template. Every length is in millimetres;
// object positions are relative to the top left corner of their band.
namespace kront::report
{

struct FontSpec {
    QString family = QStringLiteral("DejaVu Sans");
    double size = 10; // points
    bool bold = false;
    bool italic = false;
    bool underline = false;

    bool operator==(const FontSpec &) const = default;
};

enum class HAlign { Left, Center, Right };
enum class VAlign { Top, Center, Bottom };

struct Frame {
    bool left = false, top = false, right = false, bottom = false;
    double width = 0.2; // mm
    QColor color = Qt::black;

    bool any() const { return left || top || right || bottom; }
};

struct ReportObject {
    enum class Type { Text, Line, Rect, Picture };
    Type type = Type::Text;
    QString name;
    QRectF rect; // text, rectangle, picture
    std::optional<Expression> visibleIf;

    // Text
    TextTemplate text;
    FontSpec font;
    HAlign hAlign = HAlign::Left;
    VAlign vAlign = VAlign::Top;
    bool wordWrap = true;
    bool stretch = false;  // grows downwards (with its band) to show every line
    double paddingX = 1.0; // mm between the frame and the text, left and right
    double paddingY = 0.5; // mm, top and bottom
    QColor color = Qt::black;
    QColor fill; // invalid: no fill

    // Text and rectangle border
    Frame frame;

    // Line
    QPointF from, to;
    double lineWidth = 0.2; // mm

    // Picture
    QImage image;
    bool keepAspect = true;
};

// A named part of a template the program can look up and switch on or off.
class Component
{
public:
    virtual ~Component() = default;
    const QString &name() const { return componentName; }
    bool isVisible() const { return visible; }
    void setVisible(bool on) { visible = on; }

    QString componentName;
    bool visible = true;
};

enum class BandType { PageHeader, PageFooter, Title, Summary, Header, MasterData, Footer, Child };

class Band : public Component
{
public:
    BandType type = BandType::Title;
    double height = 0;
    QString dataSet;               // master data: the user data set it repeats over
    bool reprintOnNewPage = false; // data header: repeated at the top of each new page
    std::optional<Expression> visibleIf;
    std::vector<ReportObject> objects;
};

class ReportPage : public Component
{
public:
    bool printOnPreviousPage() const { return onPreviousPage; }
    void setPrintOnPreviousPage(bool on) { onPreviousPage = on; }

    double width = 210, height = 297; // A4, portrait or landscape
    double marginLeft = 20, marginTop = 10, marginRight = 10, marginBottom = 10;
    bool onPreviousPage = false;
    std::optional<Expression> visibleIf;
    std::vector<std::unique_ptr<Band>> bands;
};

struct DialogField {
    enum class Kind { Label, Edit, Memo, Combo, Check };
    Kind kind = Kind::Edit;
    QString name;
    QString label;
    QString variable;     // the template variable the field edits
    QStringList items;    // combo
    bool editable = true; // combo: free text besides the items
    std::optional<Expression> visibleIf;
};

struct DialogButton {
    QString text;
    bool accept = true; // accept: write the fields back and go on; cancel: stop
};

// A window shown before the report is prepared; its fields edit variables.
class DialogPage : public Component
{
public:
    QString caption;
    int width = 0; // pixels; 0 lets the window size itself
    std::vector<DialogField> fields;
    std::vector<DialogButton> buttons;
};

struct VariableDecl {
    QString name;
    QString expression;
};

// Set `variable` to `expression` (on printing).
struct SetAction {
    QString variable;
    QString expression;
};

struct ReportTemplate {
    QString title;
    QString fileName;
    std::vector<VariableDecl> variables;
    std::vector<SetAction> onPrint;
    std::vector<std::unique_ptr<DialogPage>> dialogs;
    std::vector<std::unique_ptr<ReportPage>> pages;
};

} // namespace kront::report
