#pragma once

#include <QString>
#include <QUrl>

// The maker's web site, set when the application is built, and the pages on it the application links.
namespace quillfen::site {

// The site's secure address without a path, e.g. "https://example.org".
QUrl maker();
// The site's host name, as the texts that name it show it.
QString makerHost();
// The product's help page: "/mac/quillfen" on the maker's site.
QUrl helpPage();

}  // namespace quillfen::site
