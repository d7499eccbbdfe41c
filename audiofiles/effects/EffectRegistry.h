// The program-wide list of effects, sorted by name.
//
// The application registers the built-in effects once at start-up and removes them
// at exit; the document's effect commands look an effect up by its flag word and
// name. The registry owns the effects.
#pragma once

#include <string>
#include <vector>

class Effect;

// Takes ownership of `effect`, gives it the next effect id (0, 1, 2, ...) and
// inserts it before the first registered effect whose name compares greater
// (case-insensitive), so equal names keep their registration order.
void RegisterEffect(Effect* effect);
// Makes and registers the built-in effects.
void RegisterAllEffects();
// Deletes every registered effect; the id counter goes on from where it was.
void UnregisterAllEffects();

// The registered effects, in registry order, whose flag word has no bit outside
// `flags`.
std::vector<Effect*> GetEffectsByFlags(int flags);
// The first of GetEffectsByFlags(flags) whose name equals `name` ignoring case;
// null when none.
Effect* FindEffect(int flags, const std::string& name);
// The short text of an undo state for an effect: the name less a trailing "...".
std::string GetEffectShortName(const std::string& name);
// Case-insensitive comparison of effect names: <0, 0 or >0.
int CompareEffectNames(const std::string& a, const std::string& b);
