#pragma once

#include <QtWidgets>

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <vector>

// Failures show a text as its characters, not as an array of code units.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace testing_support {

// A window's control by the object name the program gives it: tests reach controls the way a
// reader of the help and the menus names them, not through the window's members. A missing
// control is a test failure, not a crash.
template <class T> T* child(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        ADD_FAILURE() << "no control named " << name << " in " << window.objectName().toStdString();
    return found;
}

// A window with no parent (a chart, an entry window a chart opened) that the user sees, by its
// object name; null when none is shown.
template <class T> T* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* t = qobject_cast<T*>(w);
            t && t->isVisible() && t->objectName() == QLatin1String(name))
            return t;
    return nullptr;
}

// An entry window's controls, found by the object names the program gives them (the people
// and events windows name a few differently).
struct EntryControls {
    explicit EntryControls(const QWidget& w)
        : people(w.objectName() == QLatin1String("PEntry")), Text1(child<QLineEdit>(w, "Text1")),
          txtPriority(child<QLineEdit>(w, "txtPriority")), date1(child<QLineEdit>(w, "date1")),
          date2(child<QLineEdit>(w, "date2")), url(child<QLineEdit>(w, "url")),
          imgName(child<QLineEdit>(w, people ? "pImgName" : "eImgName")),
          Text2(child<QLineEdit>(w, "Text2")), Text3(child<QLineEdit>(w, "Text3")),
          nameList(child<QComboBox>(w, people ? "cmbP" : "Combo1")),
          desc(child<QPlainTextEdit>(w, "desc")), File1(child<QListWidget>(w, "File1")),
          picture(child<QLabel>(w, people ? "Pimage" : "Eimage")),
          cmdLink(child<QPushButton>(w, "cmdLink")), cmdNext(child<QPushButton>(w, "cmdNext")),
          cmdPrev(child<QPushButton>(w, "cmdPrev")), cmdNew(child<QPushButton>(w, "cmdNew")),
          cmdDelete(child<QPushButton>(w, "cmdDelete")), cmdOK(child<QPushButton>(w, "cmdOK")) {
        for (const char* name :
             people ? std::vector<const char*>{"cmbFaction", "cmbOccupation"}
                    : std::vector<const char*>{"cmbNation1", "cmbGroup", "cmbNation2"})
            categoryLists.push_back(child<QComboBox>(w, name));
        const char* optionNames[] = {"Option1", "Option2", "Option3",
                                     "Option4", "Option5", "Option6"};
        for (size_t i = 0; i < options.size(); ++i)
            options[i] = child<QRadioButton>(w, optionNames[i]);
    }

    bool people;
    QLineEdit *Text1, *txtPriority, *date1, *date2, *url, *imgName, *Text2, *Text3;
    QComboBox* nameList;
    QPlainTextEdit* desc;
    QListWidget* File1;
    QLabel* picture;
    QPushButton *cmdLink, *cmdNext, *cmdPrev, *cmdNew, *cmdDelete, *cmdOK;
    std::vector<QComboBox*> categoryLists;
    std::array<QRadioButton*, 6> options{};
};

} // namespace testing_support
