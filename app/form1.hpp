// The main window: the seven inputs, the four scheme options, the Calculate
// button, the listing, the Peclet number and the plot.
#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "../schemes/Mdl_Common.hpp"
#include "calculation.hpp"
#include "latest_job.hpp"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class ListingModel;
class QPushButton;
class QRadioButton;
class PlotArea;

class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

    // Waits until "Results.txt" of every calculation so far is written (and
    // a failure reported).
    void WaitForResultsFile();
    // The thread that writes Results.txt, for tests to hold it.
    LatestJob& ResultsWriter() { return writer_; }

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
    void ShowOutputs(driver::Outputs& out);
    void WriteResultsFile(std::shared_ptr<const Mdl_Common::ProblemState> state);
    static QString SaveResultsFile(const std::string& text);
    void Report(const QString& message);
    void SetUpListCopying();
    void CopyLines(bool all);

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
    QListView* List1;
    ListingModel* listModel_;
    PlotArea* Pic;

    LatestJob writer_;  // writes Results.txt, the newest table only
};
