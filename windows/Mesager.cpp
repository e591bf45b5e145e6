#include "Mesager.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace windows {

TViw::TViw(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Viw"));
    setWindowTitle(QStringLiteral("Целитор. Демонстрационная версия"));
    Label1 = new QLabel(this);
    Label2 = new QLabel(this);
    Memo1 = new QPlainTextEdit(this);
    Button1 = new QPushButton(QStringLiteral("Закрыть"), this);
    Button2 = new QPushButton(QStringLiteral("Перейти на сайт разработчика"), this);
    connect(Button1, &QPushButton::clicked, this, &TViw::Button1Click);
}

void TViw::ShowModal() { exec(); }

void TViw::Button1Click() { accept(); }

void TViw::Button2Click() {}

}  // namespace windows
