"""The people of the story as rigs: 霞野 (the heroine's sheet) and ルゥナ (the storehouse keeper among the
monster sheets). Their colours and shapes are those of their portraits (generators/portraits.py):
霞野 with dark hair tied high with a crimson ribbon, a white kosode, indigo hakama and a sword on her back
in a black scabbard; ルゥナ with pale silver hair in a low braid, a violet haori, an apron and a ring of keys."""

from .rig import Pose, Rig

HERO_SKIN = "skin"
HERO_HAIR = "hair"


def kasumino(P, hands=None, sword="hip", face="open", bow=0.0, crouch=0.0, item=None):
    """霞野 standing in pose P. hands: the places of her right and left hands (body space) when a motion
    sets them; sword: "hip" sheathed on her back, "hand" drawn in her right hand, "none"; face: "open", "closed",
    "round" (surprised), "eat"; bow: 0..1 bent forwards at the waist; crouch: 0..1 knees bent."""
    r = Rig()
    up = P.bob * 0.6 - P.squash * 1.5 - crouch * 4
    lean = P.lean * 1.8 + bow * 3.5
    # hakama: wide indigo trousers, the feet in straw sandals under them
    for s in (-1, 1):
        fz = P.step * s * 2.6
        r.limb((s * 1.8, 8 + up, lean * 0.1), (s * 2.3 + crouch * s, 1.6, fz + crouch), 2.3, 2.0, ramp="indigo", lo=0)
        r.ball(s * 2.3 + crouch * s, 1.1, fz + 0.8 + crouch, 1.3, 0.9, 1.4, ramp="earth", lo=2, bias=0.1)
    r.ball(0, 9.5 + up, lean * 0.3, 4.6, 3.8, 3.3, ramp="indigo", lo=0)
    # the kosode, its crimson sash and the indigo collar
    r.ball(0, 15.5 + up, lean * 0.6, 4.0, 4.4, 2.8, ramp="bone", lo=1)
    r.ball(0, 12.4 + up, lean * 0.5, 4.1, 1.1, 2.9, ramp="crimson", lo=1, bias=0.1)
    r.poly([(-2.2, 19 + up, lean * 0.6 + 2.4), (0, 15 + up, lean * 0.6 + 2.9), (2.2, 19 + up, lean * 0.6 + 2.4)],
           ramp="indigo", lo=1, bias=0.3)
    # the sword on her back, as in her portraits: the black scabbard across it, the crimson-wrapped hilt over
    # her left shoulder
    if sword == "hip":
        r.limb((-3.8, 9.5 + up, -2.6 + lean * 0.4), (3.4, 20.5 + up, -2.9 + lean * 0.6), 0.8, 0.8, ramp="outline", lo=1,
               bias=-0.3)
        r.limb((3.4, 20.5 + up, -2.9 + lean * 0.6), (4.6, 24.0 + up, -3.0 + lean * 0.6), 0.75, 0.7, ramp="crimson",
               lo=1, bias=-0.3)
    # arms in white sleeves
    if hands is None:
        hands = []
        for s in (-1, 1):
            hands.append((s * 5.0, 11.5 + up + P.raise_ * 8 * (s == -1), lean + P.reach * 5 * (s == -1)
                          - P.step * s * 1.4))
    for s, (hx, hy, hz) in zip((-1, 1), hands):
        shoulder = (s * 3.7, 18.0 + up, lean * 0.7)
        elbow = ((shoulder[0] + hx) / 2 + s * 0.8, (shoulder[1] + hy) / 2, (shoulder[2] + hz) / 2)
        r.limb(shoulder, elbow, 1.6, 1.5, ramp="bone", lo=1, bias=0.2 if hz > lean + 2 else 0)
        r.limb(elbow, (hx, hy, hz), 1.4, 1.0, ramp="bone", lo=1, bias=0.25 if hz > lean + 2 else 0.05)
        r.ball(hx, hy, hz, 1.1, ramp=HERO_SKIN, lo=1, bias=0.3 if hz > lean + 2 else 0.06)
    if sword == "hand":
        hx, hy, hz = hands[0]
        tip = (hx - 1 + P.reach * 1, hy + 9 - P.reach * 7, hz + 1.5 + P.reach * 4.5)
        r.limb((hx, hy - 1, hz), (hx, hy + 1.2, hz), 0.7, ramp="crimson", lo=1, bias=0.4)
        r.limb((hx, hy + 1.2, hz), tip, 0.55, 0.3, ramp="ice", lo=0, bias=0.45)
    if item:
        x, y, z, ramp, size = item
        r.ball(x, y, z, size, ramp=ramp, lo=1, bias=0.6)
    # head, hair tied high, crimson ribbon
    hy, hz = 24.6 + up - bow * 1.5, lean * 1.1 + bow
    head = 4.3
    r.ball(0, hy, hz, head, head * 0.95, head * 0.9, ramp=HERO_SKIN, lo=1)
    r.ball(0, hy + 1.4, hz - 0.9, head * 1.05, head * 0.78, head * 0.9, ramp=HERO_HAIR, lo=0, bias=-0.05)
    r.ball(0, hy + 2.6, hz + 2.2, head * 0.85, 1.5, 1.6, ramp=HERO_HAIR, lo=0, bias=0.25)  # the bangs
    for s in (-1, 1):  # side locks
        r.limb((s * 3.8, hy + 1.5, hz + 1.2), (s * 4.0, hy - 3.8, hz + 1.5), 0.9, 0.6, ramp=HERO_HAIR, lo=0, bias=0.2)
    swing = P.step * 1.2 - P.lean * 1.0
    knot = (0, hy + 4.6, hz - 2.2)
    r.ball(*knot, 1.7, ramp=HERO_HAIR, lo=1, bias=-0.2)
    r.ball(knot[0], knot[1] - 0.3, knot[2] - 0.6, 2.2, 1.0, 0.8, ramp="crimson", lo=1, bias=-0.15)
    r.limb(knot, (swing, hy + 2.5, hz - 5.5), 1.7, 1.4, ramp=HERO_HAIR, lo=0, bias=-0.4)  # the ponytail
    r.limb((swing, hy + 2.5, hz - 5.5), (swing * 1.5, hy - 3.5, hz - 6.2), 1.4, 0.6, ramp=HERO_HAIR, lo=0, bias=-0.4)
    face_z = hz + head * 0.85
    if face == "closed":
        for s in (-1, 1):
            r.limb((s * 1.6 - 0.7, hy - 0.6, face_z), (s * 1.6 + 0.7, hy - 0.6, face_z), 0.3, flat="outline0",
                   bias=0.5)
    else:
        for s in (-1, 1):
            r.ball(s * 1.6, hy - 0.5, face_z, 0.65, 0.9, 0.4, flat="outline0", bias=0.5)
    if face == "round":
        r.ball(0, hy - 2.6, face_z, 0.6, 0.7, 0.3, flat="crimson0", bias=0.5)
    if face == "eat":
        r.ball(0, hy - 2.4, face_z, 0.9, 0.5, 0.3, flat="crimson1", bias=0.5)
    return r


def luna_rig(P):
    """ルゥナ: a tall calm woman, silver hair in a low braid, violet haori over an indigo kimono, a white
    apron and a ring of keys at her sash."""
    r = Rig()
    up = P.bob * 0.5 - P.squash * 1.5
    lean = P.lean * 1.5
    for s in (-1, 1):
        r.limb((s * 1.5, 8 + up, 0), (s * 1.6, 1.5, P.step * s * 1.6), 1.6, 1.3, ramp="indigo", lo=0)
    r.ball(0, 8.5 + up, lean * 0.3, 4.2, 7.0, 3.2, ramp="indigo", lo=0)  # a long kimono
    r.ball(0, 9.5 + up, lean * 0.3 + 2.4, 3.3, 5.5, 0.8, ramp="bone", lo=1, bias=0.2)  # the apron
    r.ball(0, 15.5 + up, lean * 0.6, 4.4, 4.6, 3.0, ramp="violet", lo=0)  # the haori
    r.ball(0, 13.0 + up, lean * 0.5, 3.9, 0.9, 2.9, ramp="crimson", lo=0, bias=0.25)
    r.ball(3.2, 11.2 + up, lean * 0.5 + 2.4, 1.3, 1.3, 0.4, ramp="gold", lo=1, bias=0.4)  # the key ring
    r.limb((3.2, 10.5 + up, lean * 0.5 + 2.8), (3.4, 8.4 + up, lean * 0.5 + 2.8), 0.35, flat="gold2", bias=0.45)
    hands = []
    for s in (-1, 1):
        hx, hy, hz = s * 2.2, 13.8 + up + P.raise_ * 3, lean + 3.2 + P.reach * 2
        r.limb((s * 4.0, 18 + up, lean * 0.7), (s * 4.6, 14.5 + up, lean + 1.5), 1.7, 1.6, ramp="violet", lo=0, bias=0.1)
        r.limb((s * 4.6, 14.5 + up, lean + 1.5), (hx, hy, hz), 1.4, 1.1, ramp="violet", lo=1, bias=0.3)
        r.ball(hx, hy, hz, 1.0, ramp="skin", lo=1, bias=0.35)
        hands.append((hx, hy, hz))
    hy, hz = 24.2 + up - P.squash * 0.5, lean * 1.1
    head = 4.1
    r.ball(0, hy, hz, head, head, head * 0.9, ramp="skin", lo=1)
    r.ball(0, hy + 1.6, hz - 0.7, head * 1.08, head * 0.85, head * 0.98, ramp="stone", lo=3, bias=-0.05)
    r.ball(0.6, hy + 3.2, hz + 1.6, head * 0.85, 1.2, 2.0, ramp="stone", lo=3, bias=0.25)  # bangs swept aside
    r.limb((2.8, hy - 1.0, hz - 1.5), (3.6, hy - 9.5, hz + 1.5), 1.3, 0.8, ramp="stone", lo=3, bias=0.2)  # the braid
    r.ball(3.6, hy - 9.8, hz + 1.6, 0.8, ramp="crimson", lo=2, bias=0.25)
    r.ball(-2.6, hy + 2.8, hz + 0.5, 1.1, 0.7, 0.6, ramp="gold", lo=2, bias=0.3)  # a hairpin
    face_z = hz + head * 0.85
    for s in (-1, 1):  # calm eyes
        r.ball(s * 1.5, hy - 0.5, face_z, 0.55, 0.75, 0.4, flat="violet0", bias=0.5)
    return r


# ---- the heroine's sheet

def lying(rig, face_up=True, lift=2.0, sideways=False):
    """The rig laid on the ground: its up turned into away from the viewer (or to her left, sideways), its
    front up (face up) or down."""
    sign = 1 if face_up else -1
    for part in rig.parts:
        if sideways:
            part.points = [(-(y - 14) * 0.9, lift + z * 0.45 * sign + 0.4, x) for x, y, z in part.points]
        else:
            part.points = [(x, lift + z * 0.45 * sign + 0.4, -(y - 14) * sign * 0.9) for x, y, z in part.points]
        rx, ry, rz = part.size if len(part.size) == 3 else (part.size[0], part.size[1], 0)
        if part.kind == "ball":
            part.size = (rx, rz * 0.8 + 0.3, ry)
    return rig


def walk_pose(column):
    return [Pose(), Pose(step=1, bob=0.6), Pose(step=-1, bob=0.6)][column]
