#pragma once

#include "platform/colour.h"
#include "platform/font.h"
#include "platform/picture.h"
#include "platform/property.h"

#include <functional>
#include <string>
#include <vector>

namespace platform {

class Form;

enum class ControlKind { Label, Image, Shape, Line, TextBox, ComboBox, CommandButton };
enum class BackStyle { Transparent, Opaque };
enum class BorderStyle { None, FixedSingle };
enum class Alignment { Left, Right, Center };
enum class ShapeKind { Rectangle, Circle };

// Mouse buttons and shift keys as the mouse handlers receive them.
namespace mouse {
constexpr int noButton = 0;
constexpr int leftButton = 1;
constexpr int rightButton = 2;
} // namespace mouse

// A control of a window. Positions are twips relative to the window's client area.
// Controls are members of their window and register with it as they are constructed, so
// the order of declaration is the order from front to back.
class Control : public PropertyOwner {
public:
    Control(Form& form, ControlKind kind, std::string name, float left, float top, float width,
            float height);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    virtual ~Control() = default;

    Form& form() const { return form_; }
    ControlKind kind() const { return kind_; }
    const std::string& name() const { return name_; }

    Property<float> Left;
    Property<float> Top;
    Property<float> Width;
    Property<float> Height;
    Property<bool> Visible;

    // A real widget (text box, list, button) stands above the drawn controls and can
    // take the keyboard focus.
    bool isWidget() const;
    bool contains(float x, float y) const; // x, y in the window's client twips

    void propertyChanged(Change change) override;

private:
    Form& form_;
    ControlKind kind_;
    std::string name_;
};

class Label : public Control {
public:
    Label(Form& form, std::string name, float left, float top, float width, float height,
          std::string caption = {});

    Property<std::string> Caption;
    Property<Colour> ForeColor;
    Property<Colour> BackColor;
    BackStyle backStyle = BackStyle::Opaque;
    BorderStyle borderStyle = BorderStyle::None;
    Alignment alignment = Alignment::Left;
    bool wordWrap = true;
    Font font;
    // The control that the caption's access key ("&Name") moves the focus to.
    Control* accessKeyTarget = nullptr;

    // The letter after '&' in the caption, upper-cased; 0 if none.
    char accessKey() const;
};

class Image : public Control {
public:
    Image(Form& form, std::string name, float left, float top, float width, float height,
          Picture picture = {});

    Picture picture;
    std::function<void(int button, int shift, float x, float y)> onMouseMove;
    std::function<void()> onClick;
};

class Shape : public Control {
public:
    Shape(Form& form, std::string name, ShapeKind shape, float left, float top, float width,
          float height);

    ShapeKind shape;
    BackStyle backStyle = BackStyle::Transparent;
    Colour BackColor = colours::windowBackground;
    Colour BorderColor = colours::windowText;
    int BorderWidth = 1; // pixels
};

class Line : public Control {
public:
    Line(Form& form, std::string name, float x1, float y1, float x2, float y2);

    float X1, Y1, X2, Y2;
    Colour BorderColor = colours::windowText;
    int BorderWidth = 1; // pixels
};

// The controls that take the keyboard focus.
class FocusableControl : public Control {
public:
    using Control::Control;

    int TabIndex = 0;
    std::string ToolTipText;
};

class TextBox : public FocusableControl {
public:
    TextBox(Form& form, std::string name, float left, float top, float width, float height);

    Property<std::string> Text;
    int MaxLength = 0; // characters (UTF-16 units, as the platform counts them); 0: no limit
    bool Locked = false;
    Font font;

    // Typing or pasting: the text as the box keeps it, cut at MaxLength.
    void typed(const std::string& text);
};

class ComboBox : public FocusableControl {
public:
    ComboBox(Form& form, std::string name, float left, float top, float width, float height);

    void AddItem(const std::string& item);
    const std::vector<std::string>& items() const { return items_; }
    int ListIndex() const { return listIndex_; }
    const std::string& Text() const { return text_; }

    // The player picks an item (-1 for none).
    void pick(int index);

private:
    std::vector<std::string> items_;
    int listIndex_ = -1;
    std::string text_;
};

class CommandButton : public FocusableControl {
public:
    CommandButton(Form& form, std::string name, float left, float top, float width, float height,
                  std::string caption);

    std::string Caption;
    std::function<void()> onClick;

    // The player clicks the button's widget, or presses Return or Space on it.
    void press();
};

// Counts UTF-16 units in UTF-8 text, as the platform's text boxes count characters.
std::size_t utf16Length(const std::string& utf8);
// Whether the bytes are well-formed UTF-8: no stray, overlong or surrogate sequences.
bool isValidUtf8(const std::string& text);

} // namespace platform
