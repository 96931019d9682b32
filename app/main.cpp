#include <QApplication>

#include "form1.hpp"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    Form1 window;
    window.show();
    return app.exec();
}
