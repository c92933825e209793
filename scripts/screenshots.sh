#!/usr/bin/env bash
# Takes the operator's manual's pictures from the program's real windows,
# offscreen, into docs/manual/images/ (kept out of git).
#
#   scripts/screenshots.sh [BUILD_DIR] [OUT_DIR]
#
# Each picture is one small step: a function shot_NAME that leaves
# OUT_DIR/NAME.png and prints what the picture shows. To add a picture,
# write its function below and add NAME to SHOTS. Steps that need a
# verification in progress share one training run on the demo data
# (played_training), which is played once.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$src/build}" && pwd)
out=$(mkdir -p "${2:-$src/docs/manual/images}" && cd "${2:-$src/docs/manual/images}" && pwd)
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen
notes=()

note() { notes+=("$1.png: $2"); }

# A verification in the training mode (x30) through the real windows, on a
# copy of the demo data; the harness saves the wizard's pages and, at the
# end, the main window with the results search.
played_training() {
  [ -e "$work/training/main-window.png" ] && return
  cmake --build "$build" -j"${KRONT_JOBS:-2}" --target kront-e2e kront_demo_data >/dev/null
  mkdir -p "$work/home" "$work/training"
  cp -r "$build/share/kront/demo/." "$work/home/"
  touch "$work/home/.kront-e2e-home"
  "$bin/kront-e2e" --home "$work/home" --keep-home --shots "$work/training" \
    "$src/tests/e2e/scenarios/training_mode.scn" >"$work/training.log" ||
    { cat "$work/training.log" >&2; return 1; }
}

shot_main_window() {
  played_training
  cp "$work/training/main-window.png" "$out/main-window.png"
  note main-window "главное окно, «Результаты поверок ТП» после «Найти»: три демонстрационные поверки (Д-1, Д-2, Д-3) и учебная У-1"
}

shot_wizard_measuring() {
  played_training
  cp "$work/training/wizard-measuring.png" "$out/wizard-measuring.png"
  note wizard-measuring "мастер поверки в учебном режиме, страница измерений канала 1 («УЧЕБНЫЙ РЕЖИМ» в заголовке окна)"
}

shot_wizard_conclusion() {
  played_training
  cp "$work/training/wizard-conclusion.png" "$out/wizard-conclusion.png"
  note wizard-conclusion "мастер поверки, страница заключения учебной поверки: один ТХА годен, второй негоден"
}

# The simulator's control window on the demo installation, with the step
# the program's wizard expects, as the training mode writes it.
shot_simulator() {
  mkdir -p "$work/sim"
  printf '%s\n' 'Определение ТЭДС при 1-й температуре: Установите требуемую температуру в печи, куда помещён пучок первого канала. Установите на БИ1 переключатель второго канала в положение "0", а переключатель первого канала в положение "Т" для прямого измерения.' \
    >"$work/sim/taver.step"
  QT_QPA_PLATFORM=offscreen "$bin/kront-taver-sim" --link "$work/sim/taver" \
    --scenario "$src/tools/taver-sim/scenarios/demo.scenario" \
    --screenshot "$out/simulator.png" >/dev/null
  note simulator "окно имитатора установки: строка «Программа ожидает», печь, переключатели БИ1, вольтметр, неисправности, журнал обмена"
}

# A verification whose switch is left on the reference: the measuring page
# with the connection diagnosis, and earlier the estimate of the furnace's
# stabilisation in the stability panel.
played_diagnosis() {
  [ -e "$work/diagnosis/diagnosis.png" ] && return
  mkdir -p "$work/diagnosis"
  "$bin/kront-e2e" --home "$work/diagnosis-home" --shots "$work/diagnosis" \
    "$src/tests/e2e/scenarios/diagnosis_switch_left.scn" >"$work/diagnosis.log" ||
    { cat "$work/diagnosis.log" >&2; return 1; }
}

shot_diagnosis() {
  played_diagnosis
  cp "$work/diagnosis/diagnosis.png" "$out/diagnosis.png"
  note diagnosis "страница измерений: красная надпись «Проверьте подключение: переключатель канала 1, похоже, в положении …»"
}

shot_forecast() {
  played_diagnosis
  cp "$work/diagnosis/forecast.png" "$out/forecast.png"
  note forecast "страница измерений: «Стабилизация ≈ через N мин» в панели стабильности, пока печь выходит на режим"
}

# The windows as the lab-screen test fills them (it saves a picture of each
# window state when KRONT_WINDOW_SHOTS names a folder).
fitted_windows() {
  [ -e "$work/fit/registry-preview.png" ] && return
  cmake --build "$build" -j"${KRONT_JOBS:-2}" --target test_app >/dev/null
  mkdir -p "$work/fit"
  KRONT_WINDOW_SHOTS="$work/fit" \
    QT_QPA_PLATFORM="offscreen:configfile=$src/tests/app/lab-screen.json" \
    "$build/tests/test_app" --gtest_filter='WindowsFitScreenTest.EveryWindowInEveryStateFitsTheLabScreen' \
    >"$work/fit.log" 2>&1 || { cat "$work/fit.log" >&2; return 1; }
}

shot_registry_preview() {
  fitted_windows
  cp "$work/fit/registry-preview.png" "$out/registry-preview.png"
  note registry-preview "окно «Выгрузка во ФГИС «Аршин»»: результаты к выгрузке, ТП, которые выгрузить нельзя, с причиной, и файл"
}

shot_registry_settings() {
  fitted_windows
  cp "$work/fit/settings-registry.png" "$out/registry-settings.png"
  note registry-settings "«Настройка», страница «ФГИС «Аршин»»: шифр, поверитель, владелец, часовой пояс, типы ТП, средства поверки, номера эталонов"
}

# The history window with its chart, as the window-fit test fills it on the lab
# screen: a thermocouple verified every year for eight years, drifting upwards.
shot_sensor_history() {
  fitted_windows
  cp "$work/fit/sensor-history.png" "$out/sensor-history.png"
  note sensor-history "окно «История датчика»: поверки ТХА за восемь лет, Δ при трёх температурах на графике с допуском класса, тренд и прогноз рядом"
}

SHOTS=(main_window wizard_measuring wizard_conclusion simulator diagnosis forecast sensor_history registry_preview registry_settings)

for shot in "${SHOTS[@]}"; do
  "shot_$shot"
done
echo "Pictures in $out:"
printf '  %s\n' "${notes[@]}"
