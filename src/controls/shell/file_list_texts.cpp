#include "controls/shell/file_list_texts.h"

#include <QLocale>

#include <array>
#include <map>

namespace lumeno {

namespace {

struct TBlock {
    int Base;
    // Offset 0 is the block's base string; then the entries in offset order.
    std::map<int, const char*> Entries;
};

// The English block, and our translations of the same entries.
const std::array<TBlock, 5>& Blocks()
{
    static const std::array<TBlock, 5> blocks{{
        {900,
         {{0, "English"},
          {11, "Name"},
          {12, "Size"},
          {13, "Type"},
          {14, "Last Modify"},
          {15, "Attr"},
          {21, "Unknown"},
          {22, "Not exist"},
          {23, "Removable Unit"},
          {24, "Fixed Unit"},
          {25, "Network Unit"},
          {26, "CD-ROM Unit"},
          {27, "RAM Disk Unit"},
          {31, "All the network"},
          {32, "Deleted"},
          {33, "New folder"},
          {41, "&View Style"},
          {42, "&Large icons"},
          {43, "&Small Icons"},
          {44, "&List"},
          {45, "&Report"},
          {46, "&Images"},
          {51, "&Browser Setting"},
          {52, "&Masked"},
          {61, "&Sort Icons"},
          {62, "by &Name"},
          {63, "by &Size"},
          {64, "by &Type"},
          {65, "by &Last Modify"},
          {66, "by &Attributes"},
          {71, "Send &To"},
          {72, "&Delete"},
          {73, "&Rename"},
          {74, "&New Folder"},
          {75, "&Open"}}},
        {700,
         {{0, "Deutsch"},
          {11, "Name"},
          {12, "Größe"},
          {13, "Typ"},
          {14, "Geändert am"},
          {15, "Attribute"},
          {21, "Unbekannt"},
          {22, "Nicht vorhanden"},
          {23, "Wechseldatenträger"},
          {24, "Festplatte"},
          {25, "Netzlaufwerk"},
          {26, "CD-ROM-Laufwerk"},
          {27, "RAM-Disk"},
          {31, "Gesamtes Netzwerk"},
          {32, "Gelöscht"},
          {33, "Neuer Ordner"},
          {41, "&Ansicht"},
          {42, "&Große Symbole"},
          {43, "&Kleine Symbole"},
          {44, "&Liste"},
          {45, "&Details"},
          {46, "&Bilder"},
          {51, "&Bildvorschau"},
          {52, "&Maskiert"},
          {61, "&Symbole anordnen"},
          {62, "nach &Name"},
          {63, "nach &Größe"},
          {64, "nach &Typ"},
          {65, "nach &Änderungsdatum"},
          {66, "nach &Attributen"},
          {71, "Senden &an"},
          {72, "&Löschen"},
          {73, "&Umbenennen"},
          {74, "&Neuer Ordner"},
          {75, "Ö&ffnen"}}},
        {1000,
         {{0, "Español"},
          {11, "Nombre"},
          {12, "Tamaño"},
          {13, "Tipo"},
          {14, "Modificado"},
          {15, "Atrib."},
          {21, "Desconocida"},
          {22, "No existe"},
          {23, "Unidad extraíble"},
          {24, "Unidad fija"},
          {25, "Unidad de red"},
          {26, "Unidad de CD-ROM"},
          {27, "Disco RAM"},
          {31, "Toda la red"},
          {32, "Eliminados"},
          {33, "Nueva carpeta"},
          {41, "&Ver"},
          {42, "Iconos &grandes"},
          {43, "Iconos &pequeños"},
          {44, "&Lista"},
          {45, "&Detalles"},
          {46, "&Imágenes"},
          {51, "&Vista de imágenes"},
          {52, "&Con máscara"},
          {61, "&Ordenar iconos"},
          {62, "por &nombre"},
          {63, "por &tamaño"},
          {64, "por t&ipo"},
          {65, "por &fecha"},
          {66, "por &atributos"},
          {71, "En&viar a"},
          {72, "&Eliminar"},
          {73, "Cambiar &nombre"},
          {74, "Nueva &carpeta"},
          {75, "&Abrir"}}},
        {1200,
         {{0, "Français"},
          {11, "Nom"},
          {12, "Taille"},
          {13, "Type"},
          {14, "Modifié le"},
          {15, "Attributs"},
          {21, "Inconnu"},
          {22, "Inexistant"},
          {23, "Unité amovible"},
          {24, "Disque fixe"},
          {25, "Unité réseau"},
          {26, "Unité de CD-ROM"},
          {27, "Disque virtuel"},
          {31, "Tout le réseau"},
          {32, "Supprimés"},
          {33, "Nouveau dossier"},
          {41, "&Affichage"},
          {42, "&Grandes icônes"},
          {43, "&Petites icônes"},
          {44, "&Liste"},
          {45, "&Détails"},
          {46, "&Images"},
          {51, "&Aperçu des images"},
          {52, "&Masqué"},
          {61, "&Réorganiser les icônes"},
          {62, "par &nom"},
          {63, "par &taille"},
          {64, "par t&ype"},
          {65, "par &date"},
          {66, "par &attributs"},
          {71, "&Envoyer vers"},
          {72, "&Supprimer"},
          {73, "&Renommer"},
          {74, "&Nouveau dossier"},
          {75, "&Ouvrir"}}},
        {1600,
         {{0, "Italiano"},
          {11, "Nome"},
          {12, "Dimensione"},
          {13, "Tipo"},
          {14, "Ultima modifica"},
          {15, "Attributi"},
          {21, "Sconosciuta"},
          {22, "Inesistente"},
          {23, "Unità rimovibile"},
          {24, "Disco fisso"},
          {25, "Unità di rete"},
          {26, "Unità CD-ROM"},
          {27, "Disco RAM"},
          {31, "Tutta la rete"},
          {32, "Eliminati"},
          {33, "Nuova cartella"},
          {41, "&Visualizza"},
          {42, "Icone &grandi"},
          {43, "Icone &piccole"},
          {44, "&Elenco"},
          {45, "&Dettagli"},
          {46, "&Immagini"},
          {51, "&Anteprima immagini"},
          {52, "&Mascherate"},
          {61, "&Disponi icone"},
          {62, "per &nome"},
          {63, "per &dimensione"},
          {64, "per &tipo"},
          {65, "per &data"},
          {66, "per &attributi"},
          {71, "&Invia a"},
          {72, "&Elimina"},
          {73, "&Rinomina"},
          {74, "&Nuova cartella"},
          {75, "&Apri"}}},
    }};
    return blocks;
}

int LocaleBase(const QLocale& locale)
{
    switch (locale.language()) {
    case QLocale::German: return 700;
    case QLocale::Spanish: return 1000;
    case QLocale::French: return 1200;
    case QLocale::Italian: return 1600;
    case QLocale::English: return 900;
    default: return locale.language() * 100;
    }
}

} // namespace

int FileViewLanguageBase(TFileViewLanguage language)
{
    int base = 900;
    switch (language) {
    case TFileViewLanguage::lnSystemDefault: base = LocaleBase(QLocale::system()); break;
    case TFileViewLanguage::lnUserDefault: base = LocaleBase(QLocale()); break;
    case TFileViewLanguage::lnEnglish: base = 900; break;
    case TFileViewLanguage::lnItalian: base = 1600; break;
    case TFileViewLanguage::lnFrench: base = 1200; break;
    case TFileViewLanguage::lnGerman: base = 700; break;
    case TFileViewLanguage::lnSpanish: base = 1000; break;
    }
    return FileListString(base).empty() ? 900 : base;
}

std::string FileListString(int id)
{
    for (const TBlock& block : Blocks()) {
        const auto entry = block.Entries.find(id - block.Base);
        if (entry != block.Entries.end())
            return entry->second;
    }
    return {};
}

std::string FileListText(int base, int offset)
{
    const int block = FileListString(base).empty() ? 900 : base;
    return FileListString(block + offset);
}

} // namespace lumeno
