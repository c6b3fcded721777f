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

inline const GuidePage kGerman{
    "Kapitel 6. Netzwerkanwendungen",
    "<h1>Kapitel 6. Netzwerkanwendungen</h1>\n"
    "<p>Nachdem die Netzwerkverbindung eingerichtet ist, können Sie verschiedene Netzwerkanwendungen installieren. "
    "Dieses Kapitel beschreibt die gebräuchlichsten: den Webbrowser, das E-Mail-Programm, den Mailserver und die "
    "Werkzeuge für den Fernzugriff.</p>\n"
    "<p>Ein Mietserver für kleine Büros kostet heute etwa 15 € im Monat. Größere Firmen betreiben ihre Dienste "
    "meist selbst, weil sie die Daten ihrer Kunden nicht außer Haus geben möchten.</p>\n"
    "<h2>6.1. Der Mailserver</h2>\n"
    "<p>Wenn Sie einen eigenen Mailserver einrichten wollen, müssen Sie zuerst ein Programm für den Transport der "
    "Nachrichten wählen. Für die meisten Arbeitsplätze genügt das schlanke Programm, das das System mitbringt.</p>\n"};

inline const GuidePage kPolish{
    "Rozdział 6. Aplikacje sieciowe",
    "<h1>Rozdział 6. Aplikacje sieciowe</h1>\n"
    "<p>Po nawiązaniu połączenia z siecią można zainstalować różne aplikacje sieciowe. Ten rozdział opisuje "
    "najczęściej używane: przeglądarkę internetową, klienta poczty elektronicznej, serwer pocztowy oraz narzędzia "
    "do zdalnego dostępu.</p>\n"
    "<p>Przeglądarka jest najpopularniejszym narzędziem do oglądania stron w sieci. Zaleca się regularne "
    "sprawdzanie aktualizacji bezpieczeństwa, ponieważ luki w przeglądarkach są wykrywane często i szybko "
    "wykorzystywane.</p>\n"
    "<h2>6.1. Serwer pocztowy</h2>\n"
    "<p>Jeśli chcesz skonfigurować własny serwer pocztowy, najpierw musisz wybrać agenta przesyłania poczty. "
    "Domyślnie system proponuje lekki program, który wystarcza dla większości stacji roboczych. Specyficzności "
    "dużych domen omówiono w następnym podrozdziale.</p>\n"};

inline const GuidePage kCzech{
    "Kapitola 6. Síťové aplikace",
    "<h1>Kapitola 6. Síťové aplikace</h1>\n"
    "<p>Po navázání síťového připojení můžete nainstalovat různé síťové aplikace. Tato kapitola popisuje ty "
    "nejběžnější: webový prohlížeč, poštovního klienta, poštovní server a nástroje pro vzdálený přístup.</p>\n"
    "<p>Prohlížeč je nejrozšířenějším nástrojem pro prohlížení stránek na síti. Doporučujeme pravidelně "
    "kontrolovat bezpečnostní aktualizace, protože chyby v prohlížečích se objevují často a útočníci je rychle "
    "zneužívají. Ťukání na klávesnici vám ušetří čas.</p>\n"
    "<h2>6.1. Poštovní server</h2>\n"
    "<p>Chcete-li nastavit vlastní poštovní server, musíte nejprve vybrat program pro přenos pošty. Systém ve "
    "výchozím stavu nabízí lehký program, který stačí pro většinu pracovních stanic.</p>\n"};

inline const GuidePage kTurkish{
    "Bölüm 6. Ağ uygulamaları",
    "<h1>Bölüm 6. Ağ uygulamaları</h1>\n"
    "<p>Ağ bağlantısı kurulduktan sonra çeşitli ağ uygulamalarını yükleyebilirsiniz. Bu bölüm en sık kullanılanları "
    "anlatıyor: web tarayıcısı, e-posta istemcisi, posta sunucusu ve uzaktan erişim araçları.</p>\n"
    "<p>Tarayıcı, ağdaki sayfaları görüntülemek için en yaygın kullanılan araçtır. Güvenlik güncellemelerini "
    "düzenli olarak denetlemeniz önerilir, çünkü tarayıcılarda sık sık açıklar bulunuyor ve bu açıklar hızla "
    "kötüye kullanılıyor.</p>\n"
    "<h2>6.1. Posta sunucusu</h2>\n"
    "<p>Kendi posta sunucunuzu kurmak istiyorsanız, önce bir posta aktarım aracı seçmeniz gerekir. Sistem "
    "varsayılan olarak hafif bir araç sunar; bu araç çoğu iş istasyonu için yeterlidir. İleride daha canlı bir "
    "yapı gerekirse ayarları değiştirebilirsiniz.</p>\n"};

inline const GuidePage kVietnamese{
    "Chương 6. Các ứng dụng mạng",
    "<h1>Chương 6. Các ứng dụng mạng</h1>\n"
    "<p>Sau khi thiết lập kết nối mạng, bạn có thể cài đặt nhiều ứng dụng mạng khác nhau. Chương này mô tả những "
    "ứng dụng thông dụng nhất: trình duyệt web, chương trình thư điện tử, máy chủ thư và các công cụ truy cập từ "
    "xa.</p>\n"
    "<p>Trình duyệt là công cụ phổ biến nhất để xem các trang trên mạng. Bạn nên kiểm tra các bản cập nhật bảo "
    "mật thường xuyên, vì lỗ hổng trong trình duyệt được phát hiện rất thường và bị khai thác nhanh chóng.</p>\n"};

inline const GuidePage kUkrainian{
    "Розділ 6. Мережеві програми",
    "<h1>Розділ 6. Мережеві програми</h1>\n"
    "<p>Після налаштування мережевого з'єднання можна встановити різні мережеві програми. Цей розділ описує "
    "найпоширеніші з них: веб-переглядач, поштовий клієнт, поштовий сервер і засоби віддаленого доступу.</p>\n"
    "<p>Переглядач є найпоширенішим інструментом для перегляду сторінок у мережі. Радимо регулярно перевіряти "
    "оновлення безпеки, бо вразливості в переглядачах знаходять часто, і їх швидко використовують.</p>\n"
    "<h2>6.1. Поштовий сервер</h2>\n"
    "<p>Якщо ви хочете налаштувати власний поштовий сервер, спершу треба вибрати агент передавання пошти. Типово "
    "система пропонує легкий агент, якого вистачає для більшості робочих станцій. Ґрунтовніші поради є далі.</p>\n"};

inline const GuidePage kGreek{
    "Κεφάλαιο 6. Εφαρμογές δικτύου",
    "<h1>Κεφάλαιο 6. Εφαρμογές δικτύου</h1>\n"
    "<p>Αφού εγκαταστήσετε τη σύνδεση με το δίκτυο, μπορείτε να εγκαταστήσετε διάφορες εφαρμογές δικτύου. Αυτό το "
    "κεφάλαιο περιγράφει τις πιο συνηθισμένες: τον φυλλομετρητή ιστού, το πρόγραμμα ηλεκτρονικού ταχυδρομείου, "
    "τον διακομιστή αλληλογραφίας και τα εργαλεία απομακρυσμένης πρόσβασης.</p>\n"
    "<p>Ο φυλλομετρητής είναι το πιο διαδεδομένο εργαλείο για την περιήγηση στο δίκτυο. Συνιστάται να ελέγχετε "
    "τακτικά τις ενημερώσεις ασφαλείας, επειδή τα κενά ασφαλείας ανακαλύπτονται συχνά.</p>\n"};

inline const GuidePage kHebrew{
    "פרק 6. יישומי רשת",
    "<h1>פרק 6. יישומי רשת</h1>\n"
    "<p>לאחר הקמת החיבור לרשת אפשר להתקין יישומי רשת שונים. פרק זה מתאר את הנפוצים שבהם: דפדפן אינטרנט, תוכנת "
    "דואר אלקטרוני, שרת דואר וכלים לגישה מרחוק.</p>\n"
    "<p>הדפדפן הוא הכלי הנפוץ ביותר לצפייה בדפי הרשת. מומלץ לבדוק באופן קבוע את עדכוני האבטחה, כי פרצות "
    "בדפדפנים מתגלות לעתים קרובות ומנוצלות במהירות.</p>\n"
    "<h2>6.1. שרת הדואר</h2>\n"
    "<p>אם ברצונך להגדיר שרת דואר משלך, עליך לבחור תחילה סוכן להעברת דואר. המערכת מציעה כברירת מחדל סוכן קל, "
    "שמספיק לרוב תחנות העבודה.</p>\n"};

inline const GuidePage kArabic{
    "الفصل 6. تطبيقات الشبكة",
    "<h1>الفصل 6. تطبيقات الشبكة</h1>\n"
    "<p>بعد إعداد الاتصال بالشبكة، يمكنك تثبيت تطبيقات شبكة مختلفة. يصف هذا الفصل أكثرها استخداما، وهي متصفح "
    "الويب، وبرنامج البريد الإلكتروني، وخادم البريد، وأدوات الوصول عن بعد.</p>\n"
    "<p>المتصفح هو الأداة الأكثر انتشارا لعرض صفحات الشبكة. ننصح بالتحقق من تحديثات الأمان بانتظام، لأن الثغرات في "
    "المتصفحات تكتشف كثيرا وتستغل بسرعة.</p>\n"
    "<h2>6.1. خادم البريد</h2>\n"
    "<p>إذا أردت إعداد خادم بريد خاص بك، فعليك أولا أن تختار برنامجا لنقل البريد. يقدم النظام افتراضيا برنامجا "
    "خفيفا يكفي لمعظم محطات العمل.</p>\n"};

inline const GuidePage kThai{
    "บทที่ 6 โปรแกรมประยุกต์เครือข่าย",
    "<h1>บทที่ 6 โปรแกรมประยุกต์เครือข่าย</h1>\n"
    "<p>หลังจากตั้งค่าการเชื่อมต่อเครือข่ายแล้ว คุณสามารถติดตั้งโปรแกรมประยุกต์เครือข่ายต่าง ๆ ได้ "
    "บทนี้อธิบายโปรแกรมที่ใช้กันมากที่สุด ได้แก่ เว็บเบราว์เซอร์ โปรแกรมอีเมล เซิร์ฟเวอร์อีเมล "
    "และเครื่องมือสำหรับการเข้าถึงจากระยะไกล</p>\n"
    "<p>เบราว์เซอร์เป็นเครื่องมือที่นิยมที่สุดสำหรับการดูหน้าเว็บ ควรตรวจสอบการปรับปรุงด้านความปลอดภัยเป็นประจำ "
    "เพราะมีการค้นพบช่องโหว่ในเบราว์เซอร์บ่อยครั้ง</p>\n"};

inline const GuidePage kLithuanian{
    "6 skyrius. Tinklo programos",
    "<h1>6 skyrius. Tinklo programos</h1>\n"
    "<p>Įdiegę tinklo ryšį, galite įdiegti įvairias tinklo programas. Šiame skyriuje aprašomos dažniausiai "
    "naudojamos: žiniatinklio naršyklė, elektroninio pašto programa, pašto serveris ir nuotolinės prieigos "
    "įrankiai.</p>\n"
    "<p>Naršyklė yra labiausiai paplitęs įrankis tinklalapiams peržiūrėti. Patariama reguliariai tikrinti saugumo "
    "atnaujinimus, nes naršyklių spragos aptinkamos dažnai ir greitai išnaudojamos.</p>\n"};

inline const GuidePage kKorean{
    "제6장 네트워크 응용 프로그램",
    "<h1>제6장 네트워크 응용 프로그램</h1>\n"
    "<p>네트워크 연결을 설정한 뒤에는 여러 가지 네트워크 응용 프로그램을 설치할 수 있습니다. 이 장에서는 가장 많이 "
    "쓰이는 웹 브라우저, 전자 우편 프로그램, 메일 서버, 원격 접속 도구를 설명합니다.</p>\n"
    "<p>브라우저는 네트워크의 페이지를 보는 데 가장 널리 쓰이는 도구입니다. 브라우저의 보안 취약점은 자주 발견되고 "
    "빠르게 악용되므로 보안 업데이트를 정기적으로 확인하는 것이 좋습니다.</p>\n"};

inline const GuidePage kTraditionalChinese{
    "第六章 網路應用程式",
    "<h1>第六章 網路應用程式</h1>\n"
    "<p>建立網路連線之後，您可以安裝各種網路應用程式。本章介紹最常用的幾種：網頁瀏覽器、電子郵件用戶端、郵件伺服器以及"
    "遠端存取工具。</p>\n"
    "<p>瀏覽器是瀏覽網路頁面最常用的工具。建議您定期檢查安全性更新，因為瀏覽器中發現的漏洞很多，而且很快就會被利用。</p>\n"
    "<h2>6.1 郵件伺服器</h2>\n"
    "<p>如果您想設定電子郵件伺服器，首先需要選擇郵件傳輸代理程式。系統預設提供一個輕量級的代理程式，對於大多數工作站來說"
    "已經足夠。</p>\n"};

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
