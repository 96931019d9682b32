// The main window: the seven inputs, the four scheme options, the Calculate
// button, the listing, the Peclet number and the plot.
#pragma once

#include <QWidget>
#include <string>
#include <vector>

#include "../schemes/Mdl_Common.hpp"
#include "calculation.hpp"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class PlotArea;

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

public slots:
    // One calculation, start to finish; the window's only handler.
    void Command1_Click();

private:
    QLabel* AddLabel(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                     int height);
    QLineEdit* AddTextBox(QWidget* parent, const char* name, const QString& text, int left, int top, int width,
                          int height);
    QRadioButton* AddOption(const char* name, const QString& caption, int left, int top, int width, int height);
    driver::Scheme SelectedScheme() const;
    void ShowOutputs(const driver::Outputs& out);
    QString WriteResultsFile(const std::string& text) const;
    void Report(const QString& message);

    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QLineEdit* Text_FiA;
    QLineEdit* Text_FiB;
    QLineEdit* Text_u;
    QLineEdit* Text_N;
    QLineEdit* Text_L;
    QLineEdit* Text_Rho;
    QLineEdit* Text_Gama;
    QLineEdit* Text_Pe;
    QRadioButton* Opt_Central;
    QRadioButton* Opt_Upwind;
    QRadioButton* Opt_Hibrid;
    QRadioButton* Opt_QUICK;
    QPushButton* Command1;
    QListWidget* List1;
    PlotArea* Pic;

    Mdl_Common::ProblemState state_;
    std::vector<std::string> listLines_;  // what List1 shows, as the core wrote it
};
