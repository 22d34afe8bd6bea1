// The anchor of the start-up benchmark: a bare Qt Widgets dialog program
// with a handful of buttons, built with the same flags as the programs.
#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QPushButton>

#include "ui/StartupProbe.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    ui::StartupProbe::installIfAsked();
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare"));
    auto* grid = new QGridLayout(&dialog);
    for (int i = 0; i < 30; ++i)
        grid->addWidget(new QPushButton(QStringLiteral("Button %1").arg(i + 1), &dialog), i / 3, i % 3);
    return dialog.exec();
}
