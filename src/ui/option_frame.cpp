#include "ui/option_frame.h"

#include "ui/named.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

namespace ui {

OptionFrame optionFrame(QWidget* parent, const QString& title, const char* frameName,
                        std::initializer_list<std::pair<const char*, QString>> options) {
    OptionFrame made{named(new QGroupBox(title, parent), frameName), {}};
    auto* column = new QVBoxLayout(made.frame);
    for (const auto& [name, caption] : options) {
        made.options.push_back(named(new QRadioButton(caption, made.frame), name));
        column->addWidget(made.options.back());
    }
    return made;
}

} // namespace ui
