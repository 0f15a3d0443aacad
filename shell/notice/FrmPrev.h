#pragma once

#include <QDialog>

class ProgramSettings;
class QLabel;
class QPushButton;
struct ShellOptions;

// The notice position preview: a sample notice the user drags (it snaps to edges and other
// windows) to where notices are to appear. OK stores the place; any other way out stores
// nothing. It opens at the current notice position; show it modally.
class FrmPrev : public QDialog
{
    Q_OBJECT

public:
    FrmPrev(ProgramSettings &settings, ShellOptions &options, QWidget *parent = nullptr);
    ~FrmPrev() override;

    void Cok_Click();
    // Closing the preview, stored or not, unloads it from the snapping.
    void done(int result) override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    ProgramSettings &m_settings;
    ShellOptions &m_options;
    QLabel *m_lb;
    QPushButton *m_ok;
};
