#pragma once
// Talking to the shopkeeper and to the peaceful character of the warehouse floor. The shopkeeper asks
// for the price of the goods the heroine carries and offers to buy her items; the peaceful character
// speaks its scenario lines and, once she has seen every weapon and shield, leaves two gifts in the
// warehouse. Every answer given in normal play goes to the action log, and a resumed run or a replay
// takes the logged answers instead of asking.
//
// Each handler has the signature of the action table; it answers non-zero while it is still running.

#include "game/turn/action_queue.h"

#include <cstdint>

struct SGameResource;

// Kind 6: the shopkeeper p2. The record's flag holds the dialogue's state: 0 the question, 1 the answer
// to "sell?", 2 after the sale menu, 3 the answer to "pay?".
std::int32_t HandleShopkeeper(CActionQueue& queue, SGameResource& game);
// Kind 7: the peaceful character p2; its phase is the queue's step.
std::int32_t HandleNpcTalk(CActionQueue& queue, SGameResource& game);

// The entries of these kinds in the action table.
void RegisterShopkeeperHandlers();
