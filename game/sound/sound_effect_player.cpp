#include "game/sound/sound_effect_player.h"

#include "game/sound/sound_effect_list.h"

std::int32_t PlaySoundEffect(bool silentRerun, ISoundEffectPlayer* player, std::int32_t number)
{
    if (silentRerun) return 0;
    if (player == nullptr) player = CSoundEffectList::GetInstance();
    return player->Play(number);
}
