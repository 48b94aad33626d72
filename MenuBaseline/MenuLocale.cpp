#include "MenuBaseline/MenuLocale.h"

#include <algorithm>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>

namespace quillfen::MenuLocale {

namespace {

const char* const translationContext = "MenuBaseline";

QString normalized(const QString& identifier) {
    QString text = identifier;
    return text.replace(QLatin1Char('_'), QLatin1Char('-')).toLower();
}

}  // namespace

QString languageCode(const QString& identifier) {
    const QLocale::Language language = QLocale(identifier).language();
    if (language == QLocale::C || language == QLocale::AnyLanguage) return identifier;
    return QLocale::languageToCode(language);
}

QString chooseLanguage(const Host& host) {
    const bool localized = std::any_of(host.localizations.begin(), host.localizations.end(),
                                       [](const QString& name) { return name != QLatin1String("Base"); });
    if (localized || host.isApplication) {
        if (host.preferredLocalizations.isEmpty()) return QStringLiteral("en");
        const QString code = languageCode(host.preferredLocalizations.first());
        return supportedLanguages.contains(code) ? code : QStringLiteral("en");
    }
    for (const QString& identifier : host.preferredLanguages) {
        const QString code = languageCode(identifier);
        if (supportedLanguages.contains(code)) return code;
    }
    return QStringLiteral("en");
}

QStringList preferredLocalizations(const QStringList& localizations, const QStringList& userLanguages) {
    for (const QString& wanted : userLanguages) {
        for (const QString& have : localizations)
            if (normalized(have) == normalized(wanted)) return {have};
        for (const QString& have : localizations)
            if (languageCode(have) == languageCode(wanted)) return {have};
    }
    return {};
}

Host currentHost() {
    Host host;
    const QStringList files = QDir(QStringLiteral(":/i18n")).entryList({QStringLiteral("*.qm")}, QDir::Files);
    for (const QString& file : files) {
        const qsizetype separator = file.indexOf(QLatin1Char('_'));
        if (separator < 0) continue;
        const QString name = file.mid(separator + 1).chopped(3);
        if (!name.isEmpty() && !host.localizations.contains(name)) host.localizations.append(name);
    }
    if (!host.localizations.isEmpty() && !host.localizations.contains(QStringLiteral("en")))
        host.localizations.prepend(QStringLiteral("en"));
    host.preferredLanguages = QLocale::system().uiLanguages();
    host.preferredLocalizations = preferredLocalizations(host.localizations, host.preferredLanguages);
    host.isApplication = !QGuiApplication::desktopFileName().isEmpty();
    return host;
}

const QString& language() {
    static const QString chosen = chooseLanguage(currentHost());
    return chosen;
}

std::unique_ptr<QTranslator> bundle(const QString& language) {
    auto translator = std::make_unique<QTranslator>();
    const QString path = QStringLiteral(":/MenuBaseline/i18n/menubaseline_%1.qm").arg(language);
    if (supportedLanguages.contains(language) && QFile::exists(path)) (void)translator->load(path);
    return translator;
}

QString lookup(const QTranslator& bundle, const char* key) {
    const QString text = bundle.translate(translationContext, key);
    return text.isEmpty() ? QString::fromUtf8(key) : text;
}

}  // namespace quillfen::MenuLocale
