#include "app/Application.h"
#include "app/mainRGB.h"

#include <QApplication>

int main(int argc, char** argv) {
    tp::TintpickApp qapp(argc, argv);
    tp::Application app;
    app.mainWindow().show();
    return qapp.exec();
}
