#pragma once

#include "shell/about/SystemInfoTool.h"

#include <QDialog>

class HoverLink;
class LinkOpener;
class MessageBoxService;
class QLabel;
class QPushButton;
struct LanguageTexts;
struct ShellOptions;

// The about box: version, what the program is for in Italian or English, the project's page,
// a bug report by mail and the desktop's system information.
class FrmAbout : public QDialog
{
    Q_OBJECT

public:
    FrmAbout(const LanguageTexts &lang, const ShellOptions &options, LinkOpener &links, MessageBoxService &messages,
             SystemInfoTool sysInfo = SystemInfoTool(), QWidget *parent = nullptr);

    // The running version without its "B5": "1.0.4".
    static QString versionLabel(const QString &versioneCorrente);
    static QString description(const QString &language);

    void cmdOK_Click() { close(); }
    void cmdSysInfo_Click() { StartSysInfo(); }
    void StartSysInfo();
    void Llink_Click();
    void Llink2_Click();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Form_Load();

    const LanguageTexts &m_lang;
    const ShellOptions &m_options;
    LinkOpener &m_links;
    MessageBoxService &m_messages;
    SystemInfoTool m_sysInfo;
    QLabel *m_lblVersion = nullptr;
    QLabel *m_lblDescription = nullptr;
};
