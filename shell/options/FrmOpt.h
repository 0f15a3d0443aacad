#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>

class ColorDialogService;
class DeviceWindows;
class FileDialogService;
class FrmMain;
class MessageBoxService;
class NoticeService;
class OptionsServices;
class ProgramSettings;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;
class QToolButton;
class SerialDetection;
struct EngineState;

// The options dialog. It has no commit step: every control saves its key the moment it
// changes, and most also update the live copy the running program reads. Closing it unloads
// it; the next opening loads it fresh from the store.
class FrmOpt : public QWidget
{
    Q_OBJECT

public:
    struct Services
    {
        EngineState &state;
        ProgramSettings &settings;
        FrmMain &main;
        MessageBoxService &messages;
        FileDialogService &files;
        ColorDialogService &colours;
        NoticeService &notice;
        DeviceWindows &windows;
        OptionsServices &options;
        SerialDetection &detection;
        // The names of the serial ports to offer (ElencaCom).
        std::function<QStringList()> listPorts;
    };

    explicit FrmOpt(const Services &services, QWidget *parent = nullptr);

    // The handlers, as the controls run them.
    void CChi_Click(int index);
    void CaChi_Click(int index);
    void ClChi_Click(int index);
    void CbProt_Click();
    void CbCom_Click();
    void Cchum_Click();
    void Chide_Click();
    void Csound_Click();
    void CFx_Click();
    void Ctipo_Click();
    void Sltrasp_Scroll();
    void LcolMon_Click();
    void PcolMon_Click();
    void LcolCom_Click();
    void PcolCom_Click();
    void TxtIPws_Validate();
    void TxtPortaws_Validate();
    void TxtPwd_Validate();
    void Cprog_Click(int index);
    void Iopen_Click(int index);
    void Idel_Click(int index);
    void Cagent_Click();
    void Cpos_Click();
    void Ctry_Click();
    void Cdet_Click();

    bool FormCaricato() const { return m_formCaricato; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    QWidget *generalTab();
    QWidget *connectionTab();
    QWidget *messagesTab();
    void Form_Load();
    // The steps of Form_Load.
    void loadGatewayFields();
    void loadFilterBoxes();
    void loadLinkChoice();
    void loadColours();
    void loadStartBoxes();
    void loadCharacterList();
    void loadNoticeChoices();
    void Form_Unload();
    void ApplicaLingua();
    QString text(const char *key) const;
    // Sets a box from the store; a changed value runs the box's handler as a click would.
    void loadBox(QCheckBox *box, const QString &stored);
    void saveBox(const QString &section, const QString &key, const QCheckBox *box);
    // The swatch handlers: a colour chosen is saved, shown and applied to the pane.
    bool chooseColour(const char *key, QToolButton *swatch);
    void paintSwatch(QToolButton *swatch, quint32 bgr);
    void stopMonitor();
    QString portSetting(int entry) const;
    void setSearching(bool searching);

    Services m_s;
    bool m_formCaricato = false;
    bool m_searching = false;

    QTabWidget *m_tab = nullptr;
    std::array<QLabel *, 6> m_lb{};  // protocol, address, port, launch, character, password
    std::array<QLabel *, 2> m_lbc{};
    QComboBox *m_cbProt = nullptr;
    QLineEdit *m_txtIPws = nullptr;
    QLineEdit *m_txtPortaws = nullptr;
    QLineEdit *m_txtPwd = nullptr;
    QComboBox *m_cbCom = nullptr;
    QPushButton *m_cdet = nullptr;
    QCheckBox *m_cstmon = nullptr;
    QCheckBox *m_cstmin = nullptr;
    QCheckBox *m_cstchk = nullptr;
    QCheckBox *m_cchum = nullptr;
    QToolButton *m_lcolMon = nullptr;
    QToolButton *m_pcolMon = nullptr;
    QToolButton *m_lcolCom = nullptr;
    QToolButton *m_pcolCom = nullptr;
    std::array<QLineEdit *, 2> m_tprog{};
    std::array<QCheckBox *, 2> m_cprog{};
    std::array<QToolButton *, 2> m_iopen{};
    std::array<QToolButton *, 2> m_idel{};
    std::array<QCheckBox *, 9> m_cchi{};
    std::array<QCheckBox *, 9> m_cachi{};
    std::array<QCheckBox *, 9> m_clchi{};
    std::array<QLabel *, 9> m_lchi{};
    std::array<QLabel *, 3> m_filterHeads{};
    QGroupBox *m_frwinMsg = nullptr;
    QLabel *m_fxLabel = nullptr;
    QLabel *m_tipoLabel = nullptr;
    QLabel *m_traspLabel = nullptr;
    QComboBox *m_cfx = nullptr;
    QComboBox *m_ctipo = nullptr;
    QSlider *m_sltrasp = nullptr;
    QPushButton *m_cpos = nullptr;
    QPushButton *m_ctry = nullptr;
    QLabel *m_agentLabel = nullptr;
    QComboBox *m_cagent = nullptr;
    QCheckBox *m_chide = nullptr;
    QCheckBox *m_csound = nullptr;
};
