// Pages of a system administration guide as an old site holds them, in UTF-8: each is written in
// a legacy charset by the system's iconv program, declared, undeclared or mislabelled. They hold
// a few hundred bytes of real prose in their language, as the charset detector needs text to
// judge, and the Latin ones the letters and signs whose bytes happen to read as UTF-8 too.
#pragma once

#include <string>

namespace legacy_site {

struct GuidePage {
    const char* pszTitle;
    const char* pszBody;
};

// "Chapitre 6." and the title after it are joined by no-break spaces, as the generator wrote them.
inline const GuidePage kFrench{
    "Chapitre\u00A06.\u00A0Applications réseau",
    "<h1>Chapitre 6. Applications réseau</h1>\n"
    "<p>Après avoir établi la connectivité réseau (voir le chapitre 5, Configuration du réseau), vous pouvez "
    "installer diverses applications réseau. Ce chapitre décrit les plus courantes : le serveur web, le courrier "
    "électronique, le partage de fichiers et l'accès à distance.</p>\n"
    "<p>Le navigateur est l'outil le plus utilisé pour consulter les pages du réseau. Il est conseillé de vérifier "
    "régulièrement les mises à jour de sécurité, car les failles découvertes dans les navigateurs sont nombreuses "
    "et rapidement exploitées.</p>\n"
    "<h2>6.1. Le serveur de courrier</h2>\n"
    "<p>Si vous souhaitez configurer le serveur de courrier électronique, il faut d'abord choisir l'agent de "
    "transport. Le système propose par défaut un agent léger, qui suffit pour la plupart des postes de travail. "
    "Pour un serveur qui reçoit le courrier de plusieurs domaines, préférez un agent complet et réglez "
    "soigneusement les règles de relais.</p>\n"};

inline const GuidePage kRussian{
    "Глава 6. Сетевые приложения",
    "<h1>Глава 6. Сетевые приложения</h1>\n"
    "<p>Эта глава описывает основные сетевые приложения, которые можно установить после настройки сети. Здесь "
    "рассматриваются веб-браузеры, почтовые клиенты, серверы электронной почты и средства удалённого доступа.</p>\n"
    "<p>Браузер является самым распространённым инструментом для просмотра страниц в сети. Рекомендуется регулярно "
    "проверять обновления безопасности, так как уязвимости в браузерах обнаруживаются часто.</p>\n"
    "<h2>6.1. Почтовый сервер</h2>\n"
    "<p>Если вы хотите настроить почтовый сервер, сначала нужно выбрать агент передачи почты. По умолчанию система "
    "предлагает лёгкий агент, которого достаточно для большинства рабочих станций.</p>\n"};

inline const GuidePage kChinese{
    "第六章 网络应用程序",
    "<h1>第六章 网络应用程序</h1>\n"
    "<p>在建立网络连接之后（参见第五章“网络设置”），您可以安装各种网络应用程序。本章介绍最常用的几种：网页浏览器、"
    "电子邮件客户端、邮件服务器以及远程访问工具。</p>\n"
    "<p>浏览器是浏览网络页面最常用的工具。建议您定期检查安全更新，因为浏览器中发现的漏洞很多，而且很快就会被利用。</p>\n"
    "<h2>6.1 邮件服务器</h2>\n"
    "<p>如果您想配置电子邮件服务器，首先需要选择邮件传输代理。系统默认提供一个轻量级的代理，对于大多数工作站来说已经足够。"
    "</p>\n"};

inline const GuidePage kJapanese{
    "第5章 ネットワークの設定",
    "<h1>第5章 ネットワークの設定</h1>\n"
    "<p>ネットワークへの接続を確立した後、さまざまなネットワークアプリケーションをインストールできます。この章では、"
    "もっともよく使われるもの、すなわちウェブブラウザ、電子メールクライアント、メールサーバ、リモートアクセスの道具に"
    "ついて説明します。</p>\n"
    "<p>ブラウザはネットワーク上のページを見るためにもっとも広く使われている道具です。ブラウザで見つかる脆弱性は多く、"
    "すぐに悪用されるため、セキュリティ更新を定期的に確認することをお勧めします。</p>\n"};

// Latin text whose only bytes beyond ASCII, in Latin-1, are those of "NESTLÉ®": C9 AE, which also
// form a UTF-8 character.
inline const GuidePage kNestle{
    "Brand names in the product catalogue",
    "<p>The catalogue lists every product under the name its maker registered, as printed on the package: "
    "NESTLÉ® for the coffee and the chocolate bars, and the plain name for the store's own brands.</p>\n"
    "<p>When a name is entered in the database, keep the capital letters and the registered sign exactly as the "
    "supplier wrote them. The search page matches names without regard to case, so a customer who types the name "
    "in small letters still finds the product.</p>\n"};

inline const GuidePage kCafe{
    "La carte du jour",
    "<p>Notre maison sert le CAFÉ™ et crème depuis 1950. Chaque matin, nous torréfions les grains sur place et nous "
    "préparons les viennoiseries avec du beurre de la ferme voisine.</p>\n"
    "<p>Le midi, la carte propose un plat du jour, une salade composée et un dessert maison. Les réservations sont "
    "conseillées le week-end, surtout pour les tables en terrasse.</p>\n"};

inline const GuidePage kGrosse{
    "Maßtabelle",
    "<p>GRÖSSE Ü° und Fuß: In dieser Tabelle finden Sie die Maße aller Modelle. Messen Sie zuerst die Länge Ihres "
    "Fußes und wählen Sie dann die passende Größe aus der Liste. Bei Zwischengrößen empfehlen wir die größere "
    "Nummer.</p>\n"
    "<p>Die Lieferung erfolgt innerhalb von drei Werktagen. Rücksendungen sind innerhalb von vierzehn Tagen "
    "kostenlos möglich.</p>\n"};

inline const GuidePage kFuss{
    "Wanderwege im Schwarzwald",
    "<p>Der Weg führt zu „Fuß“ durch den Wald bis zur Hütte am See. Die Strecke ist gut ausgeschildert und für "
    "Familien mit Kindern geeignet. Festes Schuhwerk wird empfohlen, da der Boden nach Regen rutschig sein "
    "kann.</p>\n"
    "<p>Unterwegs laden mehrere Bänke zur Rast ein. Von der Hütte aus hat man einen schönen Blick über das Tal.</p>\n"};

// Pages whose bytes are UTF-8 although they are labelled ISO-8859-1.
inline const GuidePage kGroesse{
    "Größe der Partition",
    "<p>Die Größe der Partition lässt sich später nur schwer ändern. Überlegen Sie daher vorher, wie viel Platz Sie "
    "für das System, für die Benutzerdaten und für die Auslagerung benötigen.</p>\n"
    "<p>Eine zu kleine Wurzelpartition führt früher oder später zu Ärger, wenn neue Pakete installiert werden.</p>\n"};

inline const GuidePage kNaive{
    "A naïve approach",
    "<p>The naïve way to configure the mail server — copying the example file and editing it by hand — works for a "
    "single café or a small office, but it does not scale to a site with many domains.</p>\n"
    "<p>A better way keeps one file per domain and lets the server’s own tools build the tables from them.</p>\n"};

// The page in UTF-8, one line per element, as the guide's generator wrote it; declaration: what
// stands first in its head (a META tag), or nothing.
inline std::string Page(const GuidePage& page, const std::string& declaration = std::string())
{
    return "<html><head>\n" + declaration + "<title>" + page.pszTitle + "</title>\n</head><body>\n" + page.pszBody +
           "</body></html>\n";
}

// A Content-Type META tag declaring the charset, on a line of its own.
inline std::string ContentType(const std::string& charset)
{
    return "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + charset + "\">\n";
}

} // namespace legacy_site
