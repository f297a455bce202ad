#pragma once

#include <QByteArray>
#include <QCryptographicHash>
#include <QStringList>

#include <map>
#include <utility>

// The entry counts of the fixed lists and the SHA-256 digests of their UTF-8 texts joined by
// "\n", computed once from the exact texts as the program's description and the facts about
// the later games give them. A changed,
// missing, shifted or mistyped entry changes its list's digest.
namespace listDigests {

struct Expected {
    int count;
    const char* sha256;
};

inline const std::map<QString, Expected>& all() {
    static const std::map<QString, Expected> digests = {
        {"types", {18, "e609283c2a9290b09f2f7f358865f6ff05b627be9d0b0cfcac924f8ca1caab55"}},
        {"egg groups", {16, "6a6ad742306e6e27e84d105a2e4269ee4fbaf1c4c5688253f9d775760e134a64"}},
        {"colours", {11, "8b892c680236f5228eeca4afa3980929c8e79823a11dda452d7ef54843396c18"}},
        {"growth groups", {6, "6803a5f11c086968f87f71442fa7c143509b510b7de68284a4dc5263749656af"}},
        {"abilities", {124, "82267e98a8249cf2c7adf1ba8d7579591eef3e50acb50bb3642167f8e1ca5765"}},
        {"items", {465, "c8ae86b9f066caa46142918330982be4930565e336e5d7c81d420c56893bd087"}},
        {"items of Pearl",
         {465, "c8ae86b9f066caa46142918330982be4930565e336e5d7c81d420c56893bd087"}},
        // Diamond's and Pearl's with "Griseous Orb" at 112, then 465 to 467.
        {"items of Platinum",
         {468, "c9468067c56bf0440fc6d525f71ea9f23627f0abef460d98005a553035a1fc68"}},
        // Platinum's, then 468 to 536.
        {"items of HeartGold",
         {537, "02542405d07ff71ddc9104c13e0780edc376c7585c9937ccfa640ca3d5896366"}},
        {"items of SoulSilver",
         {537, "02542405d07ff71ddc9104c13e0780edc376c7585c9937ccfa640ca3d5896366"}},
        {"species", {500, "1fd9f29e1db2f0187ed7363eb0d80204ab02ad6af9ef979544a689407512110d"}},
    };
    return digests;
}

inline QByteArray digest(const QStringList& entries) {
    return QCryptographicHash::hash(entries.join('\n').toUtf8(), QCryptographicHash::Sha256)
        .toHex();
}

} // namespace listDigests
