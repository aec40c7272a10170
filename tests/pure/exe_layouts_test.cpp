// The executable choice against real games, laid out as their stores install
// them: the folder chosen must be the one the game loads from, and where a
// layout cannot tell, nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <iostream>
#include <string>
#include <vector>

#include "core/exe_fallback.h"
#include "core/exe_match.h"
#include "core/paths.h"
#include "core/text.h"

namespace zrcc {
namespace {

constexpr wchar_t kSteam[] = L"C:\\Program Files (x86)\\Steam\\steamapps\\common\\";
constexpr wchar_t kLibrary[] = L"D:\\SteamLibrary\\steamapps\\common\\";
constexpr wchar_t kEpic[] = L"C:\\Program Files\\Epic Games\\";
constexpr wchar_t kGog[] = L"C:\\GOG Games\\";

// A game as installed: its folder and its executables below it, each
// "path below the game folder", then "|ProductName" where it matters; a
// leading "!" marks a helper (installer, crash reporter, anti-cheat
// bootstrapper) that must never be taken, a leading "~" a 32-bit build (its
// PE header's machine type; the others are 64-bit). `expected` is the executable the
// game runs, empty where the layout cannot tell.
struct Layout {
  std::wstring root;
  std::wstring folder;
  std::vector<std::wstring> files;
  std::wstring expected;
};

const std::vector<Layout>& RealLayouts() {
  static const std::vector<Layout> layouts = {
      // REDengine, Frostbite, FromSoftware, RAGE
      {kSteam, L"Cyberpunk 2077", {L"REDprelauncher.exe", L"bin\\x64\\Cyberpunk2077.exe", L"!bin\\x64\\CrashReporter\\CrashReporter.exe"}, L"bin\\x64\\Cyberpunk2077.exe"},
      {kGog, L"The Witcher 3 Wild Hunt GOTY", {L"REDprelauncher.exe", L"bin\\x64\\witcher3.exe", L"bin\\x64_dx12\\witcher3.exe"}, L"bin\\x64\\witcher3.exe"},
      {kSteam, L"ELDEN RING", {L"Game\\eldenring.exe", L"!Game\\start_protected_game.exe", L"!Game\\EasyAntiCheat\\EasyAntiCheat_EOS_Setup.exe"}, L"Game\\eldenring.exe"},
      {kSteam, L"DARK SOULS III", {L"Game\\DarkSoulsIII.exe"}, L"Game\\DarkSoulsIII.exe"},
      {kSteam, L"ARMORED CORE VI FIRES OF RUBICON", {L"Game\\armoredcore6.exe", L"!Game\\start_protected_game.exe"}, L"Game\\armoredcore6.exe"},
      {kSteam, L"Sekiro", {L"sekiro.exe"}, L"sekiro.exe"},
      {kSteam, L"Grand Theft Auto V", {L"GTA5.exe", L"GTAVLauncher.exe", L"PlayGTAV.exe"}, L"GTA5.exe"},
      {kSteam, L"Red Dead Redemption 2", {L"PlayRDR2.exe", L"RDR2.exe"}, L"RDR2.exe"},
      {kSteam, L"Battlefield V", {L"bfv.exe", L"!__Installer\\Cleanup.exe", L"!__Installer\\Touchup.exe", L"!__Installer\\directx\\redist\\DXSETUP.exe", L"!__Installer\\vc\\vc2019\\redist\\VC_redist.x64.exe"}, L"bfv.exe"},
      {kSteam, L"Mass Effect Legendary Edition", {L"Game\\Launcher\\MassEffectLauncher.exe", L"Game\\ME1\\Binaries\\Win64\\MassEffect1.exe", L"Game\\ME2\\Binaries\\Win64\\MassEffect2.exe", L"Game\\ME3\\Binaries\\Win64\\MassEffect3.exe", L"!__Installer\\Touchup.exe"}, L""},
      {kSteam, L"The Sims 4", {L"Game\\Bin\\TS4_DX9_x64.exe", L"Game\\Bin\\TS4_x64.exe", L"!__Installer\\Touchup.exe"}, L"Game\\Bin\\TS4_x64.exe"},
      // id Tech, Source, Creation Engine
      {kSteam, L"DOOM", {L"DOOMx64.exe", L"DOOMx64vk.exe"}, L"DOOMx64vk.exe"},
      {kSteam, L"DOOMEternal", {L"DOOMEternalx64vk.exe", L"idTechLauncher.exe"}, L"DOOMEternalx64vk.exe"},
      {kSteam, L"Wolfenstein.II.The.New.Colossus", {L"NewColossus_x64vk.exe"}, L"NewColossus_x64vk.exe"},
      {kSteam, L"Half-Life 2", {L"hl2.exe"}, L"hl2.exe"},
      {kSteam, L"Team Fortress 2", {L"~tf.exe", L"tf_win64.exe"}, L"tf_win64.exe"},
      {kSteam, L"Fallout 4", {L"Fallout4.exe", L"Fallout4Launcher.exe"}, L"Fallout4.exe"},
      {kSteam, L"Skyrim Special Edition", {L"SkyrimSE.exe", L"SkyrimSELauncher.exe"}, L"SkyrimSE.exe"},
      {kSteam, L"Fallout New Vegas", {L"FalloutNV.exe", L"FalloutNVLauncher.exe"}, L"FalloutNV.exe"},
      // Custom engines with a bin folder, launchers beside the game
      {kSteam, L"Baldurs Gate 3", {L"bin\\bg3.exe", L"bin\\bg3_dx11.exe", L"Launcher\\LariLauncher.exe"}, L"bin\\bg3.exe"},
      {kSteam, L"Divinity Original Sin 2", {L"bin\\EoCApp.exe", L"bin\\SupportTool.exe", L"DefEd\\bin\\EoCApp.exe", L"DefEd\\bin\\SupportTool.exe"}, L""},
      {kSteam, L"Hades", {L"x64\\Hades.exe", L"x64Vk\\Hades.exe", L"~x86\\Hades.exe"}, L"x64\\Hades.exe"},
      {kSteam, L"Euro Truck Simulator 2", {L"bin\\win_x64\\eurotrucks2.exe", L"~bin\\win_x86\\eurotrucks2.exe"}, L"bin\\win_x64\\eurotrucks2.exe"},
      {kSteam, L"American Truck Simulator", {L"bin\\win_x64\\amtrucks.exe"}, L"bin\\win_x64\\amtrucks.exe"},
      {kSteam, L"Crusader Kings III", {L"binaries\\ck3.exe", L"launcher\\dowser.exe"}, L"binaries\\ck3.exe"},
      {kSteam, L"Hearts of Iron IV", {L"hoi4.exe", L"launcher\\dowser.exe"}, L"hoi4.exe"},
      {kSteam, L"Total War WARHAMMER III", {L"Warhammer3.exe", L"launcher\\launcher.exe"}, L"Warhammer3.exe"},
      {kSteam, L"Sid Meier's Civilization VI", {L"2KLauncher\\LauncherPatcher.exe", L"Base\\Binaries\\Win64Steam\\CivilizationVI.exe", L"Base\\Binaries\\Win64Steam\\CivilizationVI_DX12.exe", L"LaunchPad\\LaunchPad.exe"}, L"Base\\Binaries\\Win64Steam\\CivilizationVI.exe"},
      {kSteam, L"FINAL FANTASY XIV Online", {L"boot\\ffxivboot.exe", L"boot\\ffxivboot64.exe", L"boot\\ffxivlauncher.exe", L"boot\\ffxivlauncher64.exe", L"boot\\ffxivupdater.exe", L"boot\\ffxivupdater64.exe", L"game\\ffxiv_dx11.exe"}, L"game\\ffxiv_dx11.exe"},
      {kSteam, L"The Elder Scrolls Online", {L"game\\client\\eso64.exe", L"Launcher\\Bethesda.net_Launcher.exe"}, L"game\\client\\eso64.exe"},
      {kSteam, L"Elite Dangerous", {L"EDLaunch.exe", L"Products\\elite-dangerous-64\\EliteDangerous64.exe"}, L"Products\\elite-dangerous-64\\EliteDangerous64.exe"},
      {kSteam, L"Warframe", {L"Tools\\Launcher.exe", L"Warframe.x64.exe"}, L"Warframe.x64.exe"},
      {kSteam, L"Dying Light 2", {L"ph\\work\\bin\\x64\\DyingLightGame_x64_rwdi.exe"}, L"ph\\work\\bin\\x64\\DyingLightGame_x64_rwdi.exe"},
      {kSteam, L"Spore", {L"SporeBin\\SporeApp.exe", L"SporebinEP1\\SporeApp.exe"}, L""},
      {kSteam, L"KingdomComeDeliverance", {L"Bin\\Win64\\KingdomCome.exe"}, L"Bin\\Win64\\KingdomCome.exe"},
      {kSteam, L"No Man's Sky", {L"Binaries\\NMS.exe"}, L"Binaries\\NMS.exe"},
      {kSteam, L"Guild Wars 2", {L"Gw2-64.exe"}, L"Gw2-64.exe"},
      {kSteam, L"DayZ", {L"!BattlEye\\BEService_x64.exe", L"DayZ_BE.exe", L"DayZ_x64.exe", L"DayZLauncher.exe"}, L"DayZ_x64.exe"},
      {kSteam, L"Rise of the Tomb Raider", {L"ROTTR.exe"}, L"ROTTR.exe"},
      {kSteam, L"Shadow of the Tomb Raider", {L"SOTTR.exe"}, L"SOTTR.exe"},
      {kSteam, L"Tomb Raider I-III Remastered", {L"tomb123.exe"}, L"tomb123.exe"},
      {kSteam, L"Death Stranding", {L"ds.exe"}, L"ds.exe"},
      {kSteam, L"GodOfWar", {L"GoW.exe"}, L"GoW.exe"},
      {kSteam, L"Resident Evil Village BIOHAZARD VILLAGE", {L"re8.exe"}, L"re8.exe"},
      {kSteam, L"Control", {L"Control.exe", L"Control_DX11.exe", L"Control_DX12.exe"}, L"Control.exe"},
      {kSteam, L"Tom Clancy's Ghost Recon Wildlands", {L"!EasyAntiCheat\\EasyAntiCheat_Setup.exe", L"GRW.exe"}, L"GRW.exe"},
      {kSteam, L"Assassin's Creed Valhalla", {L"ACValhalla.exe", L"ACValhalla_Plus.exe"}, L"ACValhalla.exe"},
      {kSteam, L"Age of Empires IV", {L"RelicCardinal.exe"}, L"RelicCardinal.exe"},
      {kSteam, L"Batman Arkham Knight", {L"Binaries\\Win64\\BatmanAK.exe"}, L"Binaries\\Win64\\BatmanAK.exe"},
      // Unity
      {kSteam, L"Hollow Knight", {L"hollow_knight.exe", L"!UnityCrashHandler64.exe"}, L"hollow_knight.exe"},
      {kSteam, L"Ori and the Will of The Wisps", {L"oriwotw.exe", L"!UnityCrashHandler64.exe"}, L"oriwotw.exe"},
      {kSteam, L"RimWorld", {L"RimWorldWin64.exe", L"!UnityCrashHandler64.exe"}, L"RimWorldWin64.exe"},
      {kSteam, L"Pathfinder Second Adventure", {L"!UnityCrashHandler64.exe", L"Wrath.exe"}, L"Wrath.exe"},
      {kSteam, L"Cities Skylines II", {L"Cities2.exe", L"!UnityCrashHandler64.exe"}, L"Cities2.exe"},
      {kLibrary, L"Subnautica", {L"Subnautica.exe", L"!UnityCrashHandler64.exe"}, L"Subnautica.exe"},
      // Unreal Engine: launchers with and without a bootstrap product name,
      // none at all, codenames
      {kSteam, L"DaysGone", {L"BendGame\\Binaries\\Win64\\DaysGone.exe", L"DaysGone.exe", L"!Engine\\Binaries\\Win64\\CrashReportClient.exe", L"!Engine\\Extras\\Redist\\en-us\\UE4PrereqSetup_x64.exe"}, L"BendGame\\Binaries\\Win64\\DaysGone.exe"},
      {kSteam, L"Hogwarts Legacy", {L"!Engine\\Binaries\\ThirdParty\\CEF3\\Win64\\UnrealCEFSubProcess.exe", L"!Engine\\Binaries\\Win64\\CrashReportClient.exe", L"HogwartsLegacy.exe", L"Phoenix\\Binaries\\Win64\\HogwartsLegacy.exe"}, L"Phoenix\\Binaries\\Win64\\HogwartsLegacy.exe"},
      {kSteam, L"Borderlands 3", {L"Borderlands3.exe", L"!Engine\\Binaries\\Win64\\CrashReportClient.exe", L"OakGame\\Binaries\\Win64\\Borderlands3.exe"}, L"OakGame\\Binaries\\Win64\\Borderlands3.exe"},
      {kSteam, L"Star Wars Jedi Fallen Order", {L"starwarsjedifallenorder.exe", L"SwGame\\Binaries\\Win64\\starwarsjedifallenorder.exe"}, L"SwGame\\Binaries\\Win64\\starwarsjedifallenorder.exe"},
      {kSteam, L"FINAL FANTASY VII REMAKE", {L"End\\Binaries\\Win64\\ff7remake_.exe", L"!Engine\\Binaries\\Win64\\CrashReportClient.exe", L"ff7remake.exe"}, L"End\\Binaries\\Win64\\ff7remake_.exe"},
      {kSteam, L"Satisfactory", {L"!Engine\\Binaries\\Win64\\CrashReportClient.exe", L"FactoryGame.exe|BootstrapPackagedGame", L"FactoryGame\\Binaries\\Win64\\FactoryGame-Win64-Shipping.exe"}, L"FactoryGame\\Binaries\\Win64\\FactoryGame-Win64-Shipping.exe"},
      {kSteam, L"Deep Rock Galactic", {L"!Engine\\Binaries\\Win64\\CrashReportClient.exe", L"FSD.exe|BootstrapPackagedGame", L"FSD\\Binaries\\Win64\\FSD-Win64-Shipping.exe"}, L"FSD\\Binaries\\Win64\\FSD-Win64-Shipping.exe"},
      {kSteam, L"Palworld", {L"Pal\\Binaries\\Win64\\Palworld-Win64-Shipping.exe", L"Palworld.exe"}, L"Pal\\Binaries\\Win64\\Palworld-Win64-Shipping.exe"},
      {kSteam, L"Hi-Fi RUSH", {L"Hibiki.exe", L"Hibiki\\Binaries\\Win64\\Hibiki-Win64-Shipping.exe"}, L"Hibiki\\Binaries\\Win64\\Hibiki-Win64-Shipping.exe"},
      {kSteam, L"BlackMythWukong", {L"b1.exe", L"b1\\Binaries\\Win64\\b1-Win64-Shipping.exe", L"!Engine\\Binaries\\Win64\\CrashReportClient.exe"}, L"b1\\Binaries\\Win64\\b1-Win64-Shipping.exe"},
      {kSteam, L"Lies of P", {L"LiesofP\\Binaries\\Win64\\LOP-Win64-Shipping.exe", L"LOP.exe"}, L"LiesofP\\Binaries\\Win64\\LOP-Win64-Shipping.exe"},
      {kSteam, L"Halo The Master Chief Collection", {L"!easyanticheat\\EasyAntiCheat_Setup.exe", L"MCC\\Binaries\\Win64\\MCC-Win64-Shipping.exe", L"mcclauncher.exe"}, L"MCC\\Binaries\\Win64\\MCC-Win64-Shipping.exe"},
      {kSteam, L"Dead by Daylight", {L"DeadByDaylight.exe", L"DeadByDaylight\\Binaries\\Win64\\DeadByDaylight-Win64-Shipping.exe", L"!EasyAntiCheat\\EasyAntiCheat_EOS_Setup.exe"}, L"DeadByDaylight\\Binaries\\Win64\\DeadByDaylight-Win64-Shipping.exe"},
      {kEpic, L"AlanWake2", {L"AlanWake2.exe"}, L"AlanWake2.exe"},
  };
  return layouts;
}

// More real games, written down after the rules were settled and never
// tuned to: what the rules make of games they were not written for.
const std::vector<Layout>& HeldOutLayouts() {
  static const std::vector<Layout> layouts = {
      {kSteam, L"Starfield", {L"Starfield.exe"}, L"Starfield.exe"},
      {kSteam, L"Monster Hunter World", {L"MonsterHunterWorld.exe"}, L"MonsterHunterWorld.exe"},
      {kSteam, L"RESIDENT EVIL 4  BIOHAZARD RE4", {L"re4.exe"}, L"re4.exe"},
      {kSteam, L"Devil May Cry 5", {L"DevilMayCry5.exe"}, L"DevilMayCry5.exe"},
      {kSteam, L"Ghost of Tsushima DIRECTOR'S CUT", {L"GhostOfTsushima.exe"}, L"GhostOfTsushima.exe"},
      {kSteam, L"Marvel's Spider-Man Remastered", {L"Spider-Man.exe"}, L"Spider-Man.exe"},
      {kSteam, L"The Last of Us Part I", {L"tlou-i.exe", L"tlou-i-l.exe"}, L"tlou-i.exe"},
      {kSteam, L"HITMAN 3", {L"Launcher.exe", L"Retail\\HITMAN3.exe"}, L"Retail\\HITMAN3.exe"},
      {kSteam, L"Apex Legends", {L"!EasyAntiCheat_launcher.exe", L"r5apex.exe"}, L"r5apex.exe"},
      {kSteam, L"dota 2 beta", {L"game\\bin\\win64\\dota2.exe"}, L"game\\bin\\win64\\dota2.exe"},
      {kEpic, L"rocketleague", {L"Binaries\\Win64\\RocketLeague.exe"}, L"Binaries\\Win64\\RocketLeague.exe"},
      {kEpic, L"Fortnite", {L"FortniteGame\\Binaries\\Win64\\FortniteClient-Win64-Shipping.exe", L"FortniteGame\\Binaries\\Win64\\FortniteClient-Win64-Shipping_EAC.exe", L"FortniteGame\\Binaries\\Win64\\FortniteLauncher.exe", L"!Engine\\Binaries\\Win64\\CrashReportClient.exe"}, L"FortniteGame\\Binaries\\Win64\\FortniteClient-Win64-Shipping.exe"},
      {kSteam, L"Stardew Valley", {L"Stardew Valley.exe"}, L"Stardew Valley.exe"},
      {kSteam, L"Valheim", {L"valheim.exe", L"!UnityCrashHandler64.exe"}, L"valheim.exe"},
      {kSteam, L"Disco Elysium", {L"disco.exe", L"!UnityCrashHandler64.exe"}, L"disco.exe"},
      {kSteam, L"Ready Or Not", {L"ReadyOrNot.exe", L"ReadyOrNot\\Binaries\\Win64\\ReadyOrNot-Win64-Shipping.exe", L"!Engine\\Binaries\\Win64\\CrashReportClient.exe"}, L"ReadyOrNot\\Binaries\\Win64\\ReadyOrNot-Win64-Shipping.exe"},
      {kSteam, L"ARK", {L"ShooterGame\\Binaries\\Win64\\ShooterGame.exe", L"ShooterGame\\Binaries\\Win64\\ShooterGame_BE.exe", L"!ShooterGame\\Binaries\\Win64\\BattlEye\\BEService_x64.exe", L"!Engine\\Binaries\\Win64\\CrashReportClient.exe"}, L"ShooterGame\\Binaries\\Win64\\ShooterGame.exe"},
      {kSteam, L"Squad", {L"squad_launcher.exe", L"SquadGame\\Binaries\\Win64\\SquadGame.exe"}, L"SquadGame\\Binaries\\Win64\\SquadGame.exe"},
      {kSteam, L"Mount & Blade II Bannerlord", {L"bin\\Win64_Shipping_Client\\Bannerlord.exe", L"bin\\Win64_Shipping_Client\\TaleWorlds.MountAndBlade.Launcher.exe"}, L"bin\\Win64_Shipping_Client\\Bannerlord.exe"},
      {kSteam, L"ForzaHorizon5", {L"ForzaHorizon5.exe"}, L"ForzaHorizon5.exe"},
      {kSteam, L"Path of Exile", {L"PathOfExile_x64Steam.exe", L"PathOfExileSteam.exe"}, L"PathOfExile_x64Steam.exe"},
      {kSteam, L"Metro Exodus", {L"MetroExodus.exe", L"!Redist\\vc_redist.x64.exe"}, L"MetroExodus.exe"},
      {kSteam, L"Diablo IV", {L"Diablo IV.exe", L"Diablo IV Launcher.exe"}, L"Diablo IV.exe"},
      {kSteam, L"Lost Ark", {L"Binaries\\Win64\\LOSTARK.exe", L"!EasyAntiCheat\\EasyAntiCheat_EOS_Setup.exe"}, L"Binaries\\Win64\\LOSTARK.exe"},
      {kSteam, L"Rust", {L"Rust.exe", L"RustClient.exe", L"!UnityCrashHandler64.exe", L"!EasyAntiCheat\\EasyAntiCheat_EOS_Setup.exe"}, L"RustClient.exe"},
      {kSteam, L"Yakuza Like A Dragon", {L"runtime\\media\\YakuzaLikeADragon.exe"}, L"runtime\\media\\YakuzaLikeADragon.exe"},
      {kSteam, L"Prey", {L"Binaries\\Danielle\\x64\\Release\\Prey.exe"}, L"Binaries\\Danielle\\x64\\Release\\Prey.exe"},
      {kSteam, L"Mafia Definitive Edition", {L"launcher.exe", L"mafiadefinitiveedition.exe"}, L"mafiadefinitiveedition.exe"},
      {kSteam, L"Atomic Heart", {L"AtomicHeart.exe", L"AtomicHeart\\Binaries\\Win64\\AtomicHeart-Win64-Shipping.exe", L"!Engine\\Binaries\\Win64\\CrashReportClient.exe"}, L"AtomicHeart\\Binaries\\Win64\\AtomicHeart-Win64-Shipping.exe"},
      {kSteam, L"Stray", {L"Stray.exe", L"Hk_project\\Binaries\\Win64\\Stray-Win64-Shipping.exe"}, L"Hk_project\\Binaries\\Win64\\Stray-Win64-Shipping.exe"},
      {kSteam, L"Hellblade", {L"HellbladeGame.exe|BootstrapPackagedGame", L"HellbladeGame\\Binaries\\Win64\\HellbladeGame-Win64-Shipping.exe"}, L"HellbladeGame\\Binaries\\Win64\\HellbladeGame-Win64-Shipping.exe"},
      {kSteam, L"OCTOPATH TRAVELER", {L"Octopath_Traveler.exe", L"Octopath_Traveler\\Binaries\\Win64\\Octopath_Traveler-Win64-Shipping.exe"}, L"Octopath_Traveler\\Binaries\\Win64\\Octopath_Traveler-Win64-Shipping.exe"},
      {kSteam, L"Remnant2", {L"Remnant2.exe", L"Remnant2\\Binaries\\Win64\\Remnant2-Win64-Shipping.exe"}, L"Remnant2\\Binaries\\Win64\\Remnant2-Win64-Shipping.exe"},
      {kSteam, L"Manor Lords", {L"ManorLords.exe", L"ManorLords\\Binaries\\Win64\\ManorLords-Win64-Shipping.exe"}, L"ManorLords\\Binaries\\Win64\\ManorLords-Win64-Shipping.exe"},
      {kSteam, L"Helldivers 2", {L"bin\\helldivers2.exe", L"tools\\gameguard\\GameGuard.des"}, L"bin\\helldivers2.exe"},
      {kSteam, L"Warhammer 40,000 DARKTIDE", {L"binaries\\Darktide.exe", L"launcher\\Launcher.exe"}, L"binaries\\Darktide.exe"},
      {kSteam, L"Factorio", {L"bin\\x64\\factorio.exe"}, L"bin\\x64\\factorio.exe"},
      {kSteam, L"Dyson Sphere Program", {L"DSPGAME.exe", L"!UnityCrashHandler64.exe"}, L"DSPGAME.exe"},
      {kSteam, L"Deus Ex Mankind Divided", {L"DXMD.exe"}, L"DXMD.exe"},
      {kSteam, L"Tom Clancy's Rainbow Six Siege", {L"!BattlEye\\BEService_x64.exe", L"RainbowSix.exe", L"RainbowSix_BE.exe", L"RainbowSix_Vulkan.exe"}, L"RainbowSix.exe"},
      {kSteam, L"XCOM 2", {L"Binaries\\Win64\\XCom2.exe", L"Launcher\\ModLauncherWPF.exe", L"XCom2-WarOfTheChosen\\Binaries\\Win64\\XCom2.exe"}, L"Binaries\\Win64\\XCom2.exe"},
      {kSteam, L"Overwatch", {L"Overwatch Launcher.exe", L"_retail_\\Overwatch.exe"}, L"_retail_\\Overwatch.exe"},
      {kSteam, L"Noita", {L"noita.exe", L"noita_dev.exe"}, L"noita.exe"},
      {kSteam, L"Titanfall2", {L"Titanfall2.exe", L"!__Installer\\Touchup.exe"}, L"Titanfall2.exe"},
      {kSteam, L"Persona 5 Royal", {L"P5R.exe"}, L"P5R.exe"},
      // Games that ship a 32-bit build beside the 64-bit one, in another
      // folder: only the machine type tells which the mod can load into.
      {kSteam, L"The Talos Principle", {L"~Bin\\Talos.exe", L"Bin\\x64\\Talos.exe"}, L"Bin\\x64\\Talos.exe"},
      {kSteam, L"Grim Dawn", {L"~Grim Dawn.exe", L"x64\\Grim Dawn.exe"}, L"x64\\Grim Dawn.exe"},
      {kSteam, L"Don't Starve Together", {L"~bin\\dontstarve_steam.exe", L"bin64\\dontstarve_steam_x64.exe"}, L"bin64\\dontstarve_steam_x64.exe"},
  };
  return layouts;
}

struct File {
  std::wstring below;  // path below the game folder
  std::wstring productName;
  bool helper = false;
  bool is32Bit = false;
};

File ParseFile(std::wstring text) {
  File file;
  file.helper = !text.empty() && text.front() == L'!';
  if (file.helper) text.erase(0, 1);
  file.is32Bit = !text.empty() && text.front() == L'~';
  if (file.is32Bit) text.erase(0, 1);
  const size_t bar = text.find(L'|');
  if (bar != std::wstring::npos) {
    file.productName = text.substr(bar + 1);
    text.resize(bar);
  }
  file.below = text;
  return file;
}

// The files in the order a walk of an NTFS folder meets them: entries sorted
// by their upper-cased names, a subfolder's files at its entry's place.
std::vector<File> InWalkOrder(const Layout& layout) {
  std::vector<File> files;
  for (const std::wstring& text : layout.files) files.push_back(ParseFile(text));
  auto components = [](const std::wstring& below) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t cut; (cut = below.find(L'\\', start)) != std::wstring::npos; start = cut + 1) {
      parts.push_back(below.substr(start, cut - start));
    }
    parts.push_back(below.substr(start));
    for (std::wstring& part : parts) {
      for (wchar_t& c : part) c = static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
    }
    return parts;
  };
  std::sort(files.begin(), files.end(),
            [&](const File& a, const File& b) { return components(a.below) < components(b.below); });
  return files;
}

std::vector<ExecutableCandidate> Candidates(const std::wstring& game, const std::vector<File>& files) {
  std::vector<ExecutableCandidate> list;
  for (const File& file : files) {
    const size_t cut = file.below.find_last_of(L'\\');
    list.push_back({file.below.substr(cut + 1), cut == std::wstring::npos ? game : JoinPath(game, file.below.substr(0, cut)),
                    file.productName, file.is32Bit ? PeMachine::X86 : PeMachine::X64});
  }
  return list;
}

std::wstring FolderOf(const std::wstring& below) {
  const size_t cut = below.find_last_of(L'\\');
  return cut == std::wstring::npos ? L"" : below.substr(0, cut);
}

// Whether the choice for `layout` is right (its folder is the expected one's,
// or nothing where nothing is expected); misses are described in `misses`.
// `byNameOnly` judges the choice by name alone, without the fallback.
bool ChoosesRightly(const Layout& layout, ExeChoice* how, std::vector<std::string>& misses, bool byNameOnly = false) {
  const std::wstring game = layout.root + layout.folder;
  const std::vector<File> files = InWalkOrder(layout);
  const std::vector<ExecutableCandidate> list = Candidates(game, files);
  const ExecutableChoice choice =
      byNameOnly ? ExecutableChoice{ChooseExecutable(game, list), ExeChoice::None} : DecideExecutable(game, list);
  if (how) *how = choice.how;
  if (choice.index) {
    EXPECT_FALSE(files[*choice.index].helper) << EncodeUtf8(layout.folder);
  }
  const bool right = layout.expected.empty() ? !choice.index
                                             : choice.index && LowerKey(FolderOf(files[*choice.index].below)) ==
                                                                   LowerKey(FolderOf(layout.expected));
  if (!right) {
    misses.push_back(EncodeUtf8(layout.folder) + ": " +
                     (choice.index ? EncodeUtf8(files[*choice.index].below) : std::string("nothing")));
  }
  return right;
}

TEST(RealLayouts, TheChosenFolderIsTheOneTheGameLoadsFrom) {
  size_t right = 0, byFallback = 0, rightByName = 0;
  std::vector<std::string> misses, missesByName;
  for (const Layout& layout : RealLayouts()) {
    ExeChoice how = ExeChoice::None;
    right += ChoosesRightly(layout, &how, misses) ? 1 : 0;
    byFallback += how == ExeChoice::Fallback ? 1 : 0;
    rightByName += ChoosesRightly(layout, nullptr, missesByName, true) ? 1 : 0;
  }
  std::cout << "[ layouts  ] " << right << " of " << RealLayouts().size() << " right, " << byFallback
            << " chosen by the fallback; by name alone " << rightByName << " right\n";
  for (const std::string& miss : misses) std::cout << "[ miss     ] " << miss << "\n";
  EXPECT_GE(right * 100, RealLayouts().size() * 95);
  EXPECT_GE(RealLayouts().size(), 40u);
}

TEST(RealLayouts, GamesTheRulesWereNotWrittenFor) {
  size_t right = 0;
  std::vector<std::string> misses;
  for (const Layout& layout : HeldOutLayouts()) right += ChoosesRightly(layout, nullptr, misses) ? 1 : 0;
  std::cout << "[ held out ] " << right << " of " << HeldOutLayouts().size() << " right\n";
  for (const std::string& miss : misses) std::cout << "[ miss     ] " << miss << "\n";
  EXPECT_GE(right * 100, HeldOutLayouts().size() * 90);
}

// Each way a game's executable is named apart from its folder, once, in a
// library whose own names (Games, Steam) must not decide.
TEST(RealLayouts, EachRuleOfTheFallbackOnItsOwn) {
  const std::wstring root = L"E:\\Games\\";
  const std::vector<Layout> patterns = {
      {root, L"Crimson Harbor Redux", {L"bin\\chr.exe", L"Launcher.exe"}, L"bin\\chr.exe"},
      {root, L"Tales of the Ninth Sea", {L"data\\tools\\Packer.exe", L"TNS.exe"}, L"TNS.exe"},
      {root, L"Skyline Drift Racers", {L"!_CommonRedist\\DirectX\\DXSETUP.exe", L"bin\\sdr_x64_ship.exe"}, L"bin\\sdr_x64_ship.exe"},
      {root, L"Kestrel", {L"KestrelLauncher.exe", L"x64\\KestrelDX11vk.exe"}, L"x64\\KestrelDX11vk.exe"},
      {root, L"Ashfall 4", {L"bin\\Ashfall IV.exe", L"tools\\editor.exe"}, L"bin\\Ashfall IV.exe"},
      {root, L"Ashfall IV", {L"bin\\Ashfall4.exe", L"tools\\editor.exe"}, L"bin\\Ashfall4.exe"},
      {root, L"Far Star Quarry", {L"FSQ\\Binaries\\Win64\\FSQ-Win64-Shipping.exe", L"!unins000.exe"}, L"FSQ\\Binaries\\Win64\\FSQ-Win64-Shipping.exe"},
      {root, L"Sunken Relay", {L"sr.exe", L"SR\\Binaries\\Win64\\SR-Win64-Shipping.exe"}, L"SR\\Binaries\\Win64\\SR-Win64-Shipping.exe"},
      {root, L"Quiet Orchard", {L"Start.exe", L"Data\\engine.exe", L"!uninstall.exe"}, L""},
      {root, L"Quiet Orchard", {L"bin\\launcher.exe", L"Data\\engine.exe"}, L"Data\\engine.exe"},
  };
  std::vector<std::string> misses;
  for (const Layout& layout : patterns) ChoosesRightly(layout, nullptr, misses);
  EXPECT_TRUE(misses.empty()) << misses.front();
}
// Whatever is left of a real layout, the fallback never takes a helper: not
// with the game's own executable gone, not with only the helpers left.
TEST(RealLayouts, TheFallbackNeverTakesAHelper) {
  for (const Layout& layout : RealLayouts()) {
    const std::wstring game = layout.root + layout.folder;
    const std::vector<File> files = InWalkOrder(layout);
    for (const bool onlyHelpers : {false, true}) {
      std::vector<File> left;
      for (const File& file : files) {
        if (onlyHelpers ? file.helper : file.below != layout.expected) left.push_back(file);
      }
      const std::optional<size_t> chosen = FallbackExecutable(game, Candidates(game, left));
      EXPECT_TRUE(!chosen || !left[*chosen].helper) << EncodeUtf8(layout.folder) << ": " << EncodeUtf8(left[*chosen].below);
      if (onlyHelpers) {
        EXPECT_FALSE(chosen) << EncodeUtf8(layout.folder);
      }
    }
  }
}

}  // namespace
}  // namespace zrcc
