#pragma once

#include <QDialog>

class FrmMsg;
class ProgramSettings;
class QLabel;
class QPushButton;
struct ShellOptions;

// The notice position preview: a sample notice the user drags (it snaps to edges and other
// windows) to where notices are to appear. OK stores the place; any other way out stores
// nothing. It opens at the current notice position; show it modally. The sample looks as the
// notice will: its colour scheme (or the program folder's mymsg.jpg) and a sample text.
class FrmPrev : public QDialog
{
    Q_OBJECT

public:
    struct Sample
    {
        QString programFolder; // where mymsg.jpg is looked for
        QString text;          // the sample notice's line
    };

    FrmPrev(ProgramSettings &settings, ShellOptions &options, QWidget *parent = nullptr, const Sample &sample = {});
    ~FrmPrev() override;

    void Cok_Click();
    // Closing the preview, stored or not, unloads it from the snapping.
    void done(int result) override;

private:
    ProgramSettings &m_settings;
    ShellOptions &m_options;
    FrmMsg *m_sample;
    QLabel *m_lb;
    QPushButton *m_ok;
};
