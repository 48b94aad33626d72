#include "app/shell/Site.h"

namespace quillfen::site {

QUrl maker() {
    QUrl url(QStringLiteral(QUILLFEN_MAKER_SITE));
    url.setScheme(QStringLiteral("https"));
    url.setPath({});
    return url;
}

QString makerHost() {
    return maker().host();
}

QUrl helpPage() {
    QUrl url = maker();
    url.setPath(QStringLiteral("/mac/quillfen"));
    return url;
}

}  // namespace quillfen::site
