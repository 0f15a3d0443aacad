#pragma once

#include <QString>

#include <functional>
#include <optional>

struct EngineState;
class MessageBoxService;
class ConfElement;

// Reads <programFolder>/conf.xml into the installation model, once, at start-up.
// Out-of-range, duplicate and version problems are warnings shown one by one; a parse
// failure or any other fault in the file sets InChiusura and makes the load fail.
class ConfLoader
{
public:
    ConfLoader(EngineState &state, MessageBoxService &boxes);

    // True when the whole file was read (warnings included); false after a failure, in
    // which case InChiusura is set and the model is left empty.
    bool CaricaConf();
    // The same for a file elsewhere (a trace reader names the installation it was taken on).
    bool CaricaConf(const QString &file);

private:
    struct NumberedKind;

    void checkVersion(const ConfElement *version);
    void readDevice(const ConfElement &e);
    // The entry number when the element is to be stored; nothing when a warning skipped it.
    std::optional<int> admit(const ConfElement &e, const NumberedKind &kind,
                             const std::function<QString(int)> &nameAt);
    void readCamera(const ConfElement &e, int n);
    void readProgrammerScenario(const ConfElement &e, int n);

    void warnRange(const char *key, const ConfElement &e, const QString &numberText);
    void warn(const QString &text);
    bool fail(const QString &text, const QString &title);

    EngineState &m_state;
    MessageBoxService &m_boxes;
};
