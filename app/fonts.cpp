#include "app/fonts.h"

#include <QDebug>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace Fonts {

QStringList RegisterEmbeddedFaces()
{
    QStringList families;
    for (const char *szPath : {kRegularPath, kMediumPath, kBoldPath}) {
        const int nId = QFontDatabase::addApplicationFont(QLatin1String(szPath));
        if (nId < 0) {
            qDebug() << "InitFont: cannot register" << szPath;
        }
        families.append(QFontDatabase::applicationFontFamilies(nId).value(0));
    }
    return families;
}

} // namespace Fonts

void InitFont()
{
    // The embedded faces carry their own family name, not "PingFang SC";
    // the substitution maps the style sheets' name onto it. Every distinct
    // family is listed: where the platform names the Medium face as a family
    // of its own (Windows' GDI does), weight 500 still finds it.
    const QStringList families = Fonts::RegisterEmbeddedFaces();
    QStringList substitutes;
    for (const QString &sFamily : families) {
        if (!sFamily.isEmpty() && sFamily != QLatin1String(Fonts::kStyleSheetFamily)
            && !substitutes.contains(sFamily)) {
            substitutes.append(sFamily);
        }
    }
    if (!substitutes.isEmpty()) {
        QFont::insertSubstitutions(QLatin1String(Fonts::kStyleSheetFamily), substitutes);
    }
}
