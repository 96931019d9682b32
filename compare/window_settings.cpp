// The comparison window's settings: found without opening anything but a
// regular file, read value by value with checks, geometry restored whole or
// not at all.
#include "window_settings.hpp"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QSettings>
#include <memory>

#include "input_panel.hpp"
#include "time_tab.hpp"

namespace compare {

namespace {

const char* const kOrganisation = "convdiff";
const char* const kApplication = "convdiff-compare";

// The settings file's path. Opening QSettings reads its file at once, and
// a FIFO there would block the window's start for ever: the path is asked
// of a name no file has, in the same folder.
QString SettingsPath() {
    const QSettings probe(QSettings::IniFormat, QSettings::UserScope, QString(kOrganisation) + ".probe", "none");
    const QDir folder = QFileInfo(probe.fileName()).dir();  // .../convdiff.probe
    return QDir::cleanPath(folder.absolutePath() + "/../" + kOrganisation + "/" + kApplication + ".ini");
}

// The settings, when their file is a regular file or is not there yet;
// read from that file alone.
std::unique_ptr<QSettings> Open(QString& why) {
    const QString path = SettingsPath();
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        why = path + " is not a regular file: the settings are not read or written";
        return nullptr;
    }
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}

}  // namespace

QString LoadSettings(InputPanel& inputs, QMainWindow& window, TimeTab* time) {
    QString why;
    const auto settings = Open(why);
    if (!settings || settings->status() != QSettings::NoError) return why;
    for (const char* box : InputPanel::kBoxNames) {
        const QVariant v = settings->value(QString("inputs/") + box);
        if (v.typeId() == QMetaType::QString && v.toString().size() <= 64) inputs.SetText(box, v.toString());
    }
    const QVariant ratio = settings->value(QString("inputs/") + InputPanel::kRatioName);
    if (ratio.typeId() == QMetaType::QString && ratio.toString().size() <= 64)
        inputs.SetText(InputPanel::kRatioName, ratio.toString());
    for (const char* kind : {InputPanel::kKindNames[0], InputPanel::kKindNames[1], InputPanel::kGridName}) {
        const QVariant v = settings->value(QString("inputs/") + kind);
        if (v.typeId() == QMetaType::QString) inputs.SetKind(kind, v.toString());
    }
    const QVariant schemes = settings->value("schemes");
    if (schemes.typeId() == QMetaType::QStringList || schemes.typeId() == QMetaType::QString)
        inputs.SetTicked(schemes.toStringList());
    if (time) time->Load(*settings);
    const QVariant presenting = settings->value("presentation");
    // Read back from the file as text; as written, when this program wrote
    // it since it started.
    if (QAction* presentation = window.findChild<QAction*>("presentation");
        presentation && (presenting.typeId() == QMetaType::QString || presenting.typeId() == QMetaType::Bool))
        presentation->setChecked(presenting.typeId() == QMetaType::Bool ? presenting.toBool()
                                                                         : presenting.toString() == "true");
    // A geometry that does not restore whole (cut short, another format)
    // leaves the window at its default size.
    const QVariant geometry = settings->value("geometry");
    const QSize size = window.size();
    if (geometry.typeId() == QMetaType::QByteArray) {
        const QByteArray bytes = geometry.toByteArray();
        if (bytes.size() != window.saveGeometry().size() || !window.restoreGeometry(bytes)) window.resize(size);
    }
    return {};
}

void SaveSettings(const InputPanel& inputs, const QMainWindow& window, const TimeTab* time) {
    QString why;
    const auto settings = Open(why);
    if (!settings) return;
    for (const char* box : InputPanel::kBoxNames) settings->setValue(QString("inputs/") + box, inputs.Text(box));
    settings->setValue(QString("inputs/") + InputPanel::kRatioName, inputs.Text(InputPanel::kRatioName));
    for (const char* kind : {InputPanel::kKindNames[0], InputPanel::kKindNames[1], InputPanel::kGridName})
        settings->setValue(QString("inputs/") + kind, inputs.Kind(kind));
    settings->setValue("schemes", inputs.TickedNames());
    if (time) time->Save(*settings);
    if (const QAction* presentation = window.findChild<QAction*>("presentation"))
        settings->setValue("presentation", presentation->isChecked());
    settings->setValue("geometry", window.saveGeometry());
}

}  // namespace compare
