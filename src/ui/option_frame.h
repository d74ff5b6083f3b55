#pragma once

#include <QString>

#include <initializer_list>
#include <utility>
#include <vector>

class QGroupBox;
class QRadioButton;
class QWidget;

namespace ui {

// A titled frame of option buttons one above the other, each with its object name and caption.
struct OptionFrame {
    QGroupBox* frame;
    std::vector<QRadioButton*> options;
};
OptionFrame optionFrame(QWidget* parent, const QString& title, const char* frameName,
                        std::initializer_list<std::pair<const char*, QString>> options);

} // namespace ui
