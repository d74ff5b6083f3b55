#pragma once

#include "support/find_child.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <vector>

namespace testing_support {

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
