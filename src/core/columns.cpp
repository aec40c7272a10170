#include "core/columns.h"

#include "core/game_files.h"

namespace zrcc {

const std::array<ColumnSpec, kColumnCount> kColumns{{
    {L"Path", 767, 2.0f, [](const Game& g) { return g.path; }},
    {L"Size", 71, 1.2f, [](const Game& g) { return g.sizeText; }},
    {L"Status", 73, 1.2f, [](const Game& g) { return ModStateText(g.modState); }},
    {L"ZandRivell ver.", 112, 1.2f, [](const Game& g) { return g.modVersion; }},
    {L"Build version", 290, 1.2f, [](const Game& g) { return g.buildVersion; }},
    // Narrower than any column may be: it opens at the floor (kMinColumnWidth).
    {L"Game detected", 50, 10.0f, [](const Game& g) { return g.name; }},
    {L"Exe dir found", 100, 3.0f, [](const Game& g) { return g.exeFolder; }},
    // What the game ships of the upscalers the mod stands in for; read anew
    // at every load, never stored.
    {L"Upscalers", 200, 3.0f, [](const Game& g) { return UpscalerColumnText(g.gameFiles); }},
}};

}  // namespace zrcc
