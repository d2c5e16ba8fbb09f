#include "demodata.h"

#include <iterator>
#include <vector>

namespace Demo::Data {

namespace {

// Ordered roughly by how often a salon sells them, so a short catalogue keeps the everyday ones.
const Service kServices[] = {
    {"Kadın Saç Kesimi", 450, true},
    {"Erkek Saç Kesimi", 300, false},
    {"Fön", 250, true},
    {"Çocuk Saç Kesimi", 200, false},
    {"Dip Boya", 900, false},
    {"Komple Boya", 1500, true},
    {"Sakal Tıraşı", 200, false},
    {"Kaş Alma", 100, false},
    {"Manikür", 350, false},
    {"Pedikür", 450, false},
    {"Maşa", 350, true},
    {"Röfle", 1800, true},
    {"Balyaj", 2800, true},
    {"Ombre", 2500, true},
    {"Keratin Bakımı", 2500, true},
    {"Brezilya Fönü", 3000, true},
    {"Topuz", 600, true},
    {"Gelin Başı", 3500, false},
    {"Perma", 1500, true},
    {"Saç Yıkama", 100, false},
    {"Saç Bakımı (Maske)", 400, true},
    {"Cilt Bakımı", 1200, false},
    {"Ağda Tüm Bacak", 600, false},
    {"Ağda Yarım Bacak", 350, false},
    {"Ağda Koltuk Altı", 150, false},
    {"Ağda Bıyık", 80, false},
    {"Yüz Ağdası", 250, false},
    {"Kaş Boyama", 150, false},
    {"Kaş Laminasyonu", 700, false},
    {"Kirpik Lifting", 800, false},
    {"İpek Kirpik", 1200, false},
    {"Kalıcı Oje", 450, false},
    {"Protez Tırnak", 1200, false},
    {"Makyaj", 1500, false},
    {"Gelin Makyajı", 5000, false},
    {"Saç Açma", 2000, true},
    {"Renk Düzeltme", 2200, true},
    {"Damat Tıraşı", 1000, false},
    {"Erkek Saç Boyama", 600, false},
    {"Örgü Saç", 500, true},
};

const Product kProducts[] = {
    {"Lavinya Onarıcı Şampuan 250 ml", "Lavinya", 289.90},
    {"Lavinya Onarıcı Saç Kremi 250 ml", "Lavinya", 309.90},
    {"Lavinya Keratinli Saç Maskesi 250 ml", "Lavinya", 449.90},
    {"Nehira Boyalı Saçlar İçin Şampuan 400 ml", "Nehira", 379.90},
    {"Nehira Boyalı Saçlar İçin Saç Kremi 250 ml", "Nehira", 329.90},
    {"Nehira Argan Yağlı Saç Serumu 75 ml", "Nehira", 419.90},
    {"Mirelle Kepeğe Karşı Şampuan 400 ml", "Mirelle", 249.90},
    {"Mirelle Nemlendirici Şampuan 500 ml", "Mirelle", 269.90},
    {"Mirelle Hacim Veren Köpük 200 ml", "Mirelle", 229.90},
    {"Efsunlu Pro Keratinli Şampuan 1000 ml", "Efsunlu", 799.90},
    {"Efsunlu Pro Keratinli Saç Maskesi 500 ml", "Efsunlu", 899.90},
    {"Efsunlu Isı Koruyucu Sprey 200 ml", "Efsunlu", 349.90},
    {"Vadisu Dökülmeye Karşı Şampuan 400 ml", "Vadisu", 319.90},
    {"Vadisu Dökülmeye Karşı Saç Toniği 150 ml", "Vadisu", 389.90},
    {"Vadisu Argan Yağlı Saç Bakım Yağı 100 ml", "Vadisu", 459.90},
    {"Selvina Kıvırcık Saçlar İçin Şampuan 250 ml", "Selvina", 299.90},
    {"Selvina Kıvırcık Saçlar İçin Şekillendirici Krem 150 ml", "Selvina", 339.90},
    {"Selvina Besleyici Durulanmayan Krem 200 ml", "Selvina", 359.90},
    {"Tuanel Ekstra Güçlü Jöle 250 ml", "Tuanel", 119.90},
    {"Tuanel Islak Görünüm Jöle 500 ml", "Tuanel", 169.90},
    {"Tuanel Mat Wax 100 ml", "Tuanel", 189.90},
    {"Tuanel Esnek Tutuş Saç Spreyi 400 ml", "Tuanel", 199.90},
    {"Zümra Gri ve Beyaz Saçlar İçin Şampuan 250 ml", "Zümra", 339.90},
    {"Zümra Gri ve Beyaz Saçlar İçin Saç Maskesi 200 ml", "Zümra", 389.90},
    {"Berrak Günlük Kullanım Şampuan 500 ml", "Berrak", 149.90},
    {"Berrak Günlük Kullanım Saç Kremi 500 ml", "Berrak", 159.90},
    {"Ilgaz Care Salon Onarıcı Saç Maskesi 500 ml", "Ilgaz Care", 649.90},
    {"Ilgaz Care Salon Besleyici Saç Serumu 100 ml", "Ilgaz Care", 529.90},
    {"Şahika Premium Argan Yağlı Şampuan 250 ml", "Şahika", 549.90},
    {"Şahika Premium Argan Yağlı Saç Bakım Yağı 50 ml", "Şahika", 599.90},
    {"İpeksi Keratinli Saç Kremi 250 ml", "İpeksi", 279.90},
    {"İpeksi Parlak Wax 150 ml", "İpeksi", 209.90},
    {"İpeksi Ultra Tutucu Saç Spreyi 250 ml", "İpeksi", 179.90},
    {"Gümüşsu Bio Nemlendirici Şampuan 400 ml", "Gümüşsu", 359.90},
    {"Gümüşsu Bio Nemlendirici Saç Kremi 250 ml", "Gümüşsu", 339.90},
    {"Defne Bahçe Organik Besleyici Şampuan 400 ml", "Defne Bahçe", 329.90},
    {"Defne Bahçe Organik Onarıcı Saç Maskesi 250 ml", "Defne Bahçe", 419.90},
    {"Kumsal Hacim Veren Saç Spreyi 400 ml", "Kumsal", 189.90},
    {"Kumsal Doğal Görünüm Köpük 300 ml", "Kumsal", 219.90},
    {"Çağlasu Keratinli Isı Koruyucu Sprey 150 ml", "Çağlasu", 299.90},
    {"Çağlasu Onarıcı Saç Serumu 50 ml", "Çağlasu", 279.90},
    {"Çağlasu Ekstra Güçlü Wax 100 ml", "Çağlasu", 159.90},
};

const Shade kBaseShades[] = {
    {"1.0", "Siyah"},           {"3.0", "Koyu Kahve"},        {"4.0", "Kahve"},
    {"5.0", "Açık Kahve"},      {"6.0", "Koyu Kumral"},       {"7.0", "Kumral"},
    {"8.0", "Açık Kumral"},     {"9.0", "Sarı"},              {"10.0", "Açık Sarı"},
    {"4.15", "Buzlu Kahve"},    {"5.35", "Çikolata"},         {"6.1", "Koyu Küllü Kumral"},
    {"7.1", "Küllü Kumral"},    {"8.1", "Açık Küllü Kumral"}, {"9.1", "Küllü Sarı"},
    {"10.1", "Açık Küllü Sarı"}, {"6.3", "Koyu Altın Kumral"}, {"7.3", "Altın Kumral"},
    {"8.3", "Açık Altın Kumral"}, {"9.3", "Altın Sarı"},      {"6.4", "Koyu Bakır Kumral"},
    {"7.4", "Bakır Kumral"},    {"5.5", "Akaju"},             {"6.6", "Koyu Kızıl"},
    {"7.66", "Yoğun Kızıl"},    {"6.7", "Çikolata Kahve"},    {"7.35", "Karamel"},
    {"8.2", "Açık İrize Kumral"}, {"12.11", "Platin Sarı"},
};

const Shade kMoreShades[] = {
    {"2.0", "Mavi Siyah"},      {"4.5", "Akaju Kahve"},       {"4.6", "Kızıl Kahve"},
    {"5.1", "Küllü Açık Kahve"}, {"5.4", "Bakır Açık Kahve"}, {"6.35", "Fındık Kabuğu"},
    {"6.5", "Koyu Akaju Kumral"}, {"7.34", "Altın Bakır Kumral"}, {"7.44", "Yoğun Bakır Kumral"},
    {"8.11", "Yoğun Küllü Açık Kumral"}, {"8.34", "Bal Köpüğü"}, {"9.11", "Yoğun Küllü Sarı"},
    {"9.13", "Bej Sarı"},       {"10.21", "İnci Sarısı"},     {"12.0", "Ekstra Açık Sarı"},
    {"0.11", "Gri Düzeltici"},
};

const Weighted kOxidants[] = {{"%3", 28.0}, {"%6", 30.0}, {"%9", 32.0}, {"%12", 34.0}};

const ProductKind kKinds[] = {
    {"Şampuan", false, 260, {250, 400, 500, 1000}},
    {"Saç Kremi", false, 260, {200, 250, 500, 0}},
    {"Saç Maskesi", false, 330, {200, 250, 500, 0}},
    {"Saç Serumu", false, 280, {50, 75, 100, 0}},
    {"Saç Bakım Yağı", false, 320, {50, 100, 0, 0}},
    {"Durulanmayan Krem", false, 280, {150, 200, 0, 0}},
    {"Isı Koruyucu Sprey", false, 260, {150, 200, 0, 0}},
    {"Saç Toniği", false, 290, {100, 150, 0, 0}},
    {"Saç Spreyi", true, 150, {250, 400, 0, 0}},
    {"Jöle", true, 90, {150, 250, 500, 0}},
    {"Wax", true, 170, {100, 150, 0, 0}},
    {"Köpük", true, 210, {200, 300, 0, 0}},
    {"Şekillendirici Krem", true, 310, {150, 0, 0, 0}},
};

const Brand kBrands[] = {
    {"Lavinya", 1.05},    {"Nehira", 1.10},     {"Mirelle", 0.90},   {"Efsunlu", 1.25},
    {"Vadisu", 1.00},     {"Selvina", 1.05},    {"Tuanel", 0.85},    {"Zümra", 1.15},
    {"Berrak", 0.60},     {"Ilgaz Care", 1.30}, {"Şahika", 1.45},    {"İpeksi", 0.95},
    {"Gümüşsu", 1.10},    {"Defne Bahçe", 1.05}, {"Kumsal", 0.90},   {"Çağlasu", 1.00},
};

const Weighted kCareLines[] = {
    {"Onarıcı", 1.05},      {"Nemlendirici", 1.00},       {"Boyalı Saçlar İçin", 1.10},
    {"Kepeğe Karşı", 0.95}, {"Keratinli", 1.15},          {"Argan Yağlı", 1.20},
    {"Hacim Veren", 1.00},  {"Dökülmeye Karşı", 1.15},    {"Kıvırcık Saçlar İçin", 1.05},
    {"Besleyici", 1.00},    {"Gri ve Beyaz Saçlar İçin", 1.10}, {"Günlük Kullanım", 0.85},
};

const Weighted kStylingLines[] = {
    {"Ekstra Güçlü", 1.00}, {"Islak Görünüm", 1.00}, {"Mat", 1.10},    {"Esnek Tutuş", 1.00},
    {"Parlak", 1.00},       {"Hacim Veren", 1.05},   {"Ultra Tutucu", 1.10}, {"Doğal Görünüm", 1.00},
};

const Weighted kSeries[] = {
    {"", 1.00}, {"Pro", 1.35}, {"Salon", 1.50}, {"Bio", 1.20}, {"Premium", 1.60}, {"Organik", 1.25},
};

const Weighted kServiceModifiers[] = {{"(Kıdemli Uzman)", 1.30}};

const Weighted kLengthModifiers[] = {
    {"(Kısa Saç)", 1.00}, {"(Orta Boy Saç)", 1.20}, {"(Uzun Saç)", 1.45},
};

const char* const kFemale[] = {
    "Ayşe", "Fatma", "Emine", "Hatice", "Zeynep", "Elif", "Merve", "Büşra", "Esra", "Özlem",
    "Gülşen", "Çiğdem", "Şule", "İpek", "Işıl", "Ilgın", "Ülkü", "Gül", "Gülay", "Gülten",
    "Şebnem", "Şeyma", "Şükran", "Sevgi", "Sevim", "Derya", "Deniz", "Dilek", "Dilara", "Ebru",
    "Ece", "Eda", "Ezgi", "Filiz", "Gizem", "Hande", "Hülya", "İlknur", "İrem", "İlayda",
    "Kübra", "Leyla", "Melek", "Meltem", "Melike", "Nazlı", "Nermin", "Nesrin", "Nur", "Nurcan",
    "Özge", "Öykü", "Pınar", "Rabia", "Seda", "Selin", "Serap", "Sibel", "Songül", "Sultan",
    "Tuğba", "Tülay", "Türkan", "Ümran", "Yasemin", "Yeliz", "Zehra", "Zerrin", "Aslı", "Aysel",
    "Aynur", "Bahar", "Başak", "Beril", "Berna", "Burcu", "Canan", "Cansu", "Ceren", "Çağla",
    "Damla", "Duygu", "Emel", "Esin", "Feride", "Funda", "Gökçe", "Gönül", "Güler", "Hacer",
    "Havva", "Irmak", "Işın", "Kader", "Lale", "Mine", "Müge", "Necla", "Nihan", "Oya",
    "Perihan", "Reyhan", "Saadet", "Semra", "Şenay", "Şerife", "Şirin", "Tuba", "Yağmur",
    "Yıldız", "Zübeyde", "Gülsüm", "Çiçek", "Özden", "Şengül", "Ümmühan", "Gülizar",
};

const char* const kMale[] = {
    "Mehmet", "Mustafa", "Ahmet", "Ali", "Hüseyin", "Hasan", "İbrahim", "İsmail", "Osman",
    "Yusuf", "Murat", "Ömer", "Ramazan", "Halil", "Süleyman", "Abdullah", "Mahmut", "Recep",
    "Salih", "Fatih", "Kadir", "Emre", "Burak", "Serkan", "Gökhan", "Oğuz", "Oğuzhan", "Özgür",
    "Özkan", "Ümit", "Uğur", "Tuğrul", "Çağatay", "Çetin", "Cengiz", "Şükrü", "Şenol", "Şahin",
    "Barış", "Batuhan", "Berk", "Can", "Cem", "Doğan", "Eren", "Erkan", "Ercan", "Furkan",
    "Gürkan", "Hakan", "Kemal", "Kerem", "Koray", "Levent", "Metin", "Necati", "Onur", "Orhan",
    "Rıza", "Sinan", "Tolga", "Tuncay", "Volkan", "Yiğit", "Zafer", "İlker", "İlhan", "İsa",
    "Ilgaz", "Ufuk", "Görkem", "Selçuk", "Alp", "Arda", "Çağrı", "Özcan", "Ünal", "Işıkhan",
};

const char* const kFemaleSecond[] = {"Nur", "Gül", "Naz", "Su", "Ece", "Sultan", "İpek"};
const char* const kMaleSecond[] = {"Ali", "Can", "Emre", "Efe", "Kaan", "Şükrü"};

const char* const kSurnames[] = {
    "Yılmaz", "Kaya", "Demir", "Şahin", "Çelik", "Yıldız", "Yıldırım", "Öztürk", "Aydın",
    "Özdemir", "Arslan", "Doğan", "Kılıç", "Aslan", "Çetin", "Kara", "Koç", "Kurt", "Özkan",
    "Şimşek", "Polat", "Özcan", "Korkmaz", "Çakır", "Erdoğan", "Yavuz", "Can", "Acar", "Şen",
    "Aktaş", "Güler", "Yalçın", "Güneş", "Bozkurt", "Bulut", "Keskin", "Ünal", "Turan", "Gül",
    "Özer", "Işık", "Kaplan", "Avcı", "Sarı", "Tekin", "Taş", "Köse", "Yüksel", "Ateş",
    "Aksoy", "Karaca", "Uçar", "Erdem", "Başaran", "Kalkan", "Tunç", "Çiftçi", "Duman",
    "Aydemir", "Sönmez", "Akın", "Bayram", "İnce", "Uysal", "Akgül", "Ergün", "Türk", "Tuncer",
    "Ekinci", "Altun", "Özbek", "İpek", "Önal", "Baysal", "Gündoğdu", "Sezer", "Çoban",
    "Karakaya", "Oral", "Ay", "Coşkun", "Uzun", "Demirci", "Kahraman", "Çınar", "Akbulut",
    "Toprak", "Güven", "Aksu", "Işıklı", "Ilgaz", "Ilıcak", "İnan", "İşler", "İlhan", "Öner",
    "Özkaya", "Özyurt", "Ünlü", "Üstün", "Şeker", "Şener", "Şentürk", "Şişman", "Çağlar",
    "Çalışkan", "Çakmak", "Çolak", "Çiçek", "Çevik", "Doğru", "Eğilmez", "Sağlam", "Dağlı",
    "Yağcı", "Bağcı", "Değirmenci", "Dağdelen", "Erdoğdu", "Karadağ", "Akdağ", "Yiğit",
    "Ilgın", "Işıkçı", "Ulus", "Günay", "Kurtuluş", "Soylu", "Tokgöz", "Büyükşahin", "Küçük",
    "Gök", "Göktaş", "Özen", "Ören", "Savaş", "Tan", "Tatlı", "Kılınç", "Mutlu", "Genç",
};

const char* const kApostropheSurnames[] = {"D'Angelo", "D'Amato", "D'Arcy", "D'Ambra"};

const char* const kStreets[] = {
    "Atatürk Cad.", "Cumhuriyet Cad.", "İnönü Cad.", "İstasyon Cad.", "Gül Sok.",
    "Lale Sok.", "Menekşe Sok.", "Papatya Sok.", "Çınar Sok.", "Ihlamur Sok.",
    "Öğretmen Sok.", "Şair Sok.", "Kuşdili Sok.", "Çamlık Sok.", "Güneşli Sok.",
    "Ilgaz Sok.", "Bahar Sok.", "Erguvan Sok.", "Söğüt Sok.", "Değirmen Sok.",
    "Fıstık Sok.", "Yıldız Sok.", "Şirin Sok.", "Ortaokul Sok.", "Pınarbaşı Cad.",
};

const Place kPlaces[] = {
    {"İstanbul", "Kadıköy", {"Moda", "Caferağa", "Göztepe", "Suadiye"}},
    {"İstanbul", "Kadıköy", {"Fenerbahçe", "Erenköy", "Koşuyolu", "Rasimpaşa"}},
    {"İstanbul", "Üsküdar", {"Altunizade", "Kısıklı", "İcadiye", "Bulgurlu"}},
    {"İstanbul", "Ataşehir", {"Atatürk", "İçerenköy", "Küçükbakkalköy", "Barbaros"}},
    {"İstanbul", "Maltepe", {"Bağlarbaşı", "Cevizli", "İdealtepe", "Zümrütevler"}},
    {"İstanbul", "Beşiktaş", {"Levent", "Etiler", "Bebek", "Sinanpaşa"}},
    {"İstanbul", "Şişli", {"Mecidiyeköy", "Teşvikiye", "Feriköy", "Kuştepe"}},
    {"İstanbul", "Bakırköy", {"Ataköy", "Yeşilköy", "Osmaniye", "Kartaltepe"}},
    {"Ankara", "Çankaya", {"Kızılay", "Bahçelievler", "Ayrancı", "Dikmen"}},
    {"İzmir", "Karşıyaka", {"Bostanlı", "Mavişehir", "Alaybey", "Tuna"}},
    {"Bursa", "Nilüfer", {"Görükle", "Özlüce", "Ihlamur", "Beşevler"}},
    {"Kocaeli", "İzmit", {"Yahyakaptan", "Kozluk", "Ömerağa", "Cedit"}},
    {"Antalya", "Muratpaşa", {"Lara", "Şirinyalı", "Fener", "Güzeloba"}},
    {"Eskişehir", "Odunpazarı", {"Büyükdere", "Osmangazi", "Akarbaşı", "Vişnelik"}},
    {"Tekirdağ", "Çorlu", {"Hıdırağa", "Şeyhsinan", "Muhittin", "Reşadiye"}},
    {"Iğdır", "Merkez", {"Bağlar", "Şehitlik", "Karaağaç", "Topçular"}},
};

const char* const kMobilePrefixes[] = {
    "530", "531", "532", "533", "534", "535", "536", "537", "538", "539", "541", "542", "543",
    "544", "545", "546", "547", "548", "549", "501", "505", "506", "507", "551", "552", "553",
    "554", "555", "559",
};

const char* const kInternalCards[] = {"KASA", "BANKA", "POS", "CEK", "SENET", "PERAKENDE"};
const char* const kInternalTitles[] = {
    "KASA HESABI", "BANKA HESABI", "POS TAHSİLAT", "ÇEK PORTFÖYÜ", "SENET PORTFÖYÜ",
    "PERAKENDE SATIŞ",
};

} // namespace

std::span<const Service> services() { return kServices; }
std::span<const Product> products() { return kProducts; }
std::span<const Shade> baseShades() { return kBaseShades; }
std::span<const Weighted> oxidants() { return kOxidants; }
std::span<const ProductKind> productKinds() { return kKinds; }
std::span<const Brand> brands() { return kBrands; }
std::span<const Weighted> careLines() { return kCareLines; }
std::span<const Weighted> stylingLines() { return kStylingLines; }
std::span<const Weighted> series() { return kSeries; }
std::span<const Weighted> serviceModifiers() { return kServiceModifiers; }
std::span<const Weighted> lengthModifiers() { return kLengthModifiers; }

std::span<const Shade> allShades()
{
    static const auto all = [] {
        std::vector<Shade> v(std::begin(kBaseShades), std::end(kBaseShades));
        v.insert(v.end(), std::begin(kMoreShades), std::end(kMoreShades));
        return v;
    }();
    return all;
}

std::span<const char* const> femaleNames() { return kFemale; }
std::span<const char* const> maleNames() { return kMale; }
std::span<const char* const> femaleSecondNames() { return kFemaleSecond; }
std::span<const char* const> maleSecondNames() { return kMaleSecond; }
std::span<const char* const> surnames() { return kSurnames; }
std::span<const char* const> apostropheSurnames() { return kApostropheSurnames; }
std::span<const char* const> streets() { return kStreets; }
std::span<const Place> places() { return kPlaces; }
std::span<const char* const> mobilePrefixes() { return kMobilePrefixes; }
std::span<const char* const> internalCards() { return kInternalCards; }
std::span<const char* const> internalTitles() { return kInternalTitles; }

} // namespace Demo::Data
