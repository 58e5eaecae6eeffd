#pragma once

#include "core/CGame.h"

#include <boost/multi_index/hashed_index.hpp>
#include <boost/multi_index/member.hpp>
#include <boost/multi_index/ordered_index.hpp>
#include <boost/multi_index_container.hpp>

// View tags of GameSet. Keys compare as strings of unsigned bytes (std::string's order);
// the non-unique views keep records with equal keys in insertion order.
struct byFingerprint
{};
struct byFullName
{};
struct byFn
{};
struct bySn
{};
struct byWarn
{};
// Finds a record by fingerprint without walking the ordered view: a scan looks up each file
// it reads, and a tree of 100,000 records costs a cache miss at every level.
struct byFingerprintLookup
{};

namespace core::detail {
namespace mi = boost::multi_index;
template <class Tag, std::string CGame::*Field>
using NonUniqueView = mi::ordered_non_unique<mi::tag<Tag>, mi::member<CGame, std::string, Field>>;
} // namespace core::detail

// The set in which catalogues, scan results and saved lists are kept: unique by fingerprint.
// Copying a set shares its records. Changing a key field of a record already in the set does
// not move it in that view; only byFingerprint is consulted after such changes.
using GameSet = boost::multi_index_container<
    GamePtr, boost::multi_index::indexed_by<
                 boost::multi_index::ordered_unique<
                     boost::multi_index::tag<byFingerprint>,
                     boost::multi_index::member<CGame, std::string, &CGame::fingerprint>>,
                 core::detail::NonUniqueView<byFullName, &CGame::FullName>,
                 core::detail::NonUniqueView<byFn, &CGame::fn>,
                 core::detail::NonUniqueView<bySn, &CGame::sn>,
                 core::detail::NonUniqueView<byWarn, &CGame::warn>,
                 boost::multi_index::hashed_unique<
                     boost::multi_index::tag<byFingerprintLookup>,
                     boost::multi_index::member<CGame, std::string, &CGame::fingerprint>>>>;
