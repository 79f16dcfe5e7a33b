// The program's own texts and the about window's names and links.
#pragma once

#include <string_view>

#include "DornavaVersion.h"

namespace dornava::texts {

inline constexpr std::string_view kAppTitle = "Dornava";
inline constexpr std::string_view kMainCaption = "Dornava " DORNAVA_VERSION;
inline constexpr std::string_view kEditorCaption = "Přidat nastavení tapety";
inline constexpr std::string_view kAboutCaption = "O programu Dornava";
inline constexpr std::string_view kNoWallpaperFile = "Soubor tapety neexistuje";
inline constexpr std::string_view kOpenDialogTitle = "Přidat tapetu";
// Description and pattern pairs, each element ended by a zero character.
inline constexpr std::string_view kOpenDialogFilter{
    "Bitmapy (*.bmp)\0*.bmp\0Všechny soubory (*.*)\0*.*\0",
    sizeof "Bitmapy (*.bmp)\0*.bmp\0Všechny soubory (*.*)\0*.*\0" - 1};

// Main window.
inline constexpr std::string_view kCredit = "M. Lhoták & I. Zálesný";
inline constexpr std::string_view kVersionTag = "v" DORNAVA_VERSION;
inline constexpr std::string_view kAboutButton = "O programu";
inline constexpr std::string_view kListHeading = "Plán výměn tapety:";
inline constexpr std::string_view kAdd = "Přidat";
inline constexpr std::string_view kEdit = "Upravit";
inline constexpr std::string_view kDelete = "Vymazat";
inline constexpr std::string_view kAutostart = "Autostart";
inline constexpr std::string_view kStart = "Start";

// Entry editor.
inline constexpr std::string_view kBySystemClock = "Podle systémového času";
inline constexpr std::string_view kFromStart = "Od stisknutí startu";
inline constexpr std::string_view kBrowse = "…";
inline constexpr std::string_view kOk = "OK";

// About window. Names and addresses are the maker's own; the domain is a reserved one.
inline constexpr std::string_view kVersion = "Verze " DORNAVA_VERSION;
inline constexpr std::string_view kIdeaAuthorLabel = "Autor nápadu :";
inline constexpr std::string_view kProgramAuthorLabel = "Autor tohoto programu : ";
inline constexpr std::string_view kDate = "18.04.2001";
inline constexpr std::string_view kIdeaAuthor = "Ivo Zálesný";
inline constexpr std::string_view kProgramAuthor = "Marek Lhoták";
inline constexpr std::string_view kMakerHost = "www.brenlow.example";
inline constexpr std::string_view kMakerHome = "http://www.brenlow.example/";
inline constexpr std::string_view kIdeaAuthorHome = "http://www.brenlow.example/?zalesny";
inline constexpr std::string_view kIdeaAuthorMail = "mailto:ivo.zalesny@brenlow.example";
inline constexpr std::string_view kProgramAuthorHome = "http://www.brenlow.example/?lhotak";
inline constexpr std::string_view kProgramAuthorMail = "mailto:marek.lhotak@brenlow.example";
inline constexpr std::string_view kIdeaAuthorTip =
    "ivo.zalesny@brenlow.example nebo http://www.brenlow.example/?zalesny";
inline constexpr std::string_view kProgramAuthorTip =
    "marek.lhotak@brenlow.example nebo http://www.brenlow.example/?lhotak";
inline constexpr std::string_view kAssociation = "Sdružení programátorů Podještědí";
inline constexpr std::string_view kWriteMail = "Napsat e-mail";
inline constexpr std::string_view kGoHome = "Jít na domovskou stránku";

}  // namespace dornava::texts
