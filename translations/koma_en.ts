<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>BackgroundSettings</name>
    <message>
        <source>数ではありません</source>
        <translation>not a number</translation>
    </message>
    <message>
        <source>大きすぎます</source>
        <translation>too large</translation>
    </message>
    <message>
        <source>小さすぎます</source>
        <translation>too small</translation>
    </message>
    <message>
        <source>%1「%2」は%3。</source>
        <translation>%1 “%2”: %3.</translation>
    </message>
    <message>
        <source>よこ</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>たて</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>大きさは 1 ～ %1 ピクセルで入れてください（小数も使えます）。</source>
        <translation>Enter a size of 1 to %1 pixels (fractions are allowed).</translation>
    </message>
</context>
<context>
    <name>BaseName</name>
    <message>
        <source>ベース名が空です</source>
        <translation>the base name is empty</translation>
    </message>
    <message>
        <source>ベース名「%1」はファイルの名前になりません</source>
        <translation>the base name &quot;%1&quot; cannot name a file</translation>
    </message>
    <message>
        <source>ベース名「%1」に / か \ があります</source>
        <translation>the base name &quot;%1&quot; holds / or \</translation>
    </message>
    <message>
        <source>ベース名に制御文字 (U+%1) があります</source>
        <translation>the base name holds a control character (U+%1)</translation>
    </message>
</context>
<context>
    <name>BmpDecoder</name>
    <message>
        <source>BMP ファイルが途中で切れています</source>
        <translation>the BMP file is cut short</translation>
    </message>
    <message>
        <source>BMP のヘッダーが壊れています</source>
        <translation>the BMP header is damaged</translation>
    </message>
    <message>
        <source>この種類の BMP ヘッダー（%1 バイト）には対応していません</source>
        <translation>BMP headers of %1 bytes are not supported</translation>
    </message>
    <message>
        <source>BMP のプレーン数が 1 ではありません</source>
        <translation>the BMP does not have 1 plane</translation>
    </message>
    <message>
        <source>%1 ビットの BMP には対応していません</source>
        <translation>%1-bit BMP files are not supported</translation>
    </message>
    <message>
        <source>BMP の圧縮形式（%1）には対応していません</source>
        <translation>BMP compression %1 is not supported</translation>
    </message>
    <message>
        <source>ハフマン圧縮の BMP には対応していません</source>
        <translation>Huffman-compressed BMP files are not supported</translation>
    </message>
    <message>
        <source>RLE24 圧縮の BMP には対応していません</source>
        <translation>RLE24-compressed BMP files are not supported</translation>
    </message>
    <message>
        <source>上から下へ並んだ RLE 圧縮の BMP は読めません</source>
        <translation>top-down RLE-compressed BMP files cannot be read</translation>
    </message>
    <message>
        <source>BMP のビットフィールドが壊れています</source>
        <translation>the BMP bit fields are damaged</translation>
    </message>
    <message>
        <source>BMP にパレットがありません</source>
        <translation>the BMP has no palette</translation>
    </message>
    <message>
        <source>BMP の画素データの位置が壊れています</source>
        <translation>the BMP pixel data offset is damaged</translation>
    </message>
    <message>
        <source>BMP に埋め込まれた画像が読み取れません</source>
        <translation>the image embedded in the BMP cannot be read</translation>
    </message>
    <message>
        <source>画像を読み込むメモリが足りません</source>
        <translation>not enough memory to load the image</translation>
    </message>
</context>
<context>
    <name>Captions</name>
    <message>
        <source>微調整ＯＦＦ</source>
        <translation>Fine adjust OFF</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>Zoom off</translation>
    </message>
    <message>
        <source>ズーム</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>テスト中断</source>
        <translation>Stop test</translation>
    </message>
    <message>
        <source>アニメテスト</source>
        <translation>Test animation</translation>
    </message>
    <message>
        <source>微調整ＯＮ</source>
        <translation>Fine adjust ON</translation>
    </message>
    <message>
        <source>ＢＭＰ</source>
        <translation>BMP</translation>
    </message>
    <message>
        <source>PNG 連番</source>
        <translation>PNG seq.</translation>
    </message>
</context>
<context>
    <name>EditNames</name>
    <message>
        <source>コマ間隔の変更</source>
        <translation>Change spacing</translation>
    </message>
    <message>
        <source>基準位置の変更</source>
        <translation>Move base position</translation>
    </message>
    <message>
        <source>リセット</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>背景の設定</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>微調整</source>
        <translation>Fine adjustment</translation>
    </message>
    <message>
        <source>画像の読み込み</source>
        <translation>Load image</translation>
    </message>
    <message>
        <source>保存先の変更</source>
        <translation>Change export folder</translation>
    </message>
    <message>
        <source>アニメパターンの入力</source>
        <translation>Type pattern</translation>
    </message>
    <message>
        <source>コマ間隔の入力</source>
        <translation>Type spacing</translation>
    </message>
    <message>
        <source>ファイル名の入力</source>
        <translation>Type file name</translation>
    </message>
    <message>
        <source>状態のLOAD</source>
        <translation>State LOAD</translation>
    </message>
</context>
<context>
    <name>ExportNotice</name>
    <message>
        <source>GIF のコマ時間は 10 ミリ秒単位なので、%1 ミリ秒を %2 ミリ秒に、ほかに %3 通りの時間も丸めて書き出しました。</source>
        <translation>GIF step times are in units of 10 ms: %1 ms was written as %2 ms, and %3 other times were rounded too.</translation>
    </message>
    <message>
        <source>動画は透過を持てないので、背景を透過せずに書き出しました。</source>
        <translation>Videos hold no transparency: the background was exported opaque.</translation>
    </message>
    <message>
        <source>画質の指定は動画（MP4・WebM）だけのもので、この形式では使いません。</source>
        <translation>A quality is for videos (MP4, WebM) only; this format does not use it.</translation>
    </message>
    <message>
        <source>この形式は繰り返し回数を持てないので、回数を書かずに書き出しました（何回再生するかは再生ソフトしだいです）。</source>
        <translation>This format holds no loop count: it was written without one (how often it plays is up to the player).</translation>
    </message>
</context>
<context>
    <name>ExportProgress</name>
    <message>
        <source>コマを書き出しています… %1 / %2</source>
        <translation>Exporting frames… %1 / %2</translation>
    </message>
    <message>
        <source>コマ作成</source>
        <translation>Export frames</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ExportScale</name>
    <message>
        <source>書き出す画像が %1 ピクセルになり、大きすぎます（一辺 16384 ピクセル、256 MiB まで）。拡大しても書き出せません。</source>
        <translation>the image would be %1 pixels, more than 16384 pixels a side or 256 MiB, even unscaled</translation>
    </message>
    <message>
        <source>拡大 %1 倍では書き出す画像が %2 ピクセルになり、大きすぎます（一辺 16384 ピクセル、256 MiB まで）。この絵は %3 倍まで拡大できます。</source>
        <translation>at scale %1 the image would be %2 pixels, more than 16384 pixels a side or 256 MiB; the largest scale that fits is %3</translation>
    </message>
</context>
<context>
    <name>ExportSettings</name>
    <message>
        <source>1コマの時間に「%1」は使えません。ミリ秒を整数で入れてください。</source>
        <translation>“%1” cannot be a step time. Enter whole milliseconds.</translation>
    </message>
    <message>
        <source>繰り返し回数に「%1」は使えません。回数を整数で入れてください（0 は無限）。</source>
        <translation>“%1” cannot be a repeat count. Enter a whole number (0 repeats forever).</translation>
    </message>
    <message>
        <source>1コマの時間 %1 ミリ秒は短すぎます。%2 ミリ秒以上にしてください（それより短い時間は再生ソフトが守りません）。</source>
        <translation>A step time of %1 ms is too short. Use %2 ms or more (players do not keep shorter times).</translation>
    </message>
    <message>
        <source>1コマの時間 %1 ミリ秒は長すぎます。%2 ミリ秒以下にしてください。</source>
        <translation>A step time of %1 ms is too long. Use %2 ms or less.</translation>
    </message>
    <message>
        <source>繰り返し回数 %1 は使えません。0 ～ %2 にしてください（0 は無限）。</source>
        <translation>A repeat count of %1 cannot be used. Use 0 to %2 (0 repeats forever).</translation>
    </message>
    <message>
        <source>拡大率 %1 は使えません。1 ～ %2 にしてください。</source>
        <translation>the scale %1 cannot be used: 1 to %2</translation>
    </message>
</context>
<context>
    <name>FileDrop</name>
    <message>
        <source>落とされたものにファイルがありません</source>
        <translation>Nothing dropped is a file</translation>
    </message>
    <message>
        <source>状態ファイルは1つだけ落としてください</source>
        <translation>Drop only one state file</translation>
    </message>
    <message>
        <source>画像は画像の枠の上に落としてください</source>
        <translation>Drop images on an image slot</translation>
    </message>
    <message>
        <source>背景と前景の枠には画像を1枚ずつ落としてください</source>
        <translation>Drop one image at a time on the background and foreground slots</translation>
    </message>
    <message>
        <source>枠%1から9までに入る画像は%2枚までです（%3枚）</source>
        <translation>Slots %1 to 9 take %2 images at most (%3 dropped)</translation>
    </message>
    <message>
        <source>「%1」はPNG・BMP・JPEGの画像ではありません</source>
        <translation>“%1” is not a PNG, BMP or JPEG image</translation>
    </message>
    <message>
        <source>「%1」を読み込めません：%2</source>
        <translation>Cannot load “%1”: %2</translation>
    </message>
</context>
<context>
    <name>FileSystem</name>
    <message>
        <source>「%1」はフォルダです</source>
        <translation>“%1” is a folder</translation>
    </message>
    <message>
        <source>「%1」を作れません: %2</source>
        <translation>Cannot create “%1”: %2</translation>
    </message>
    <message>
        <source>「%1」に書き込めません: %2</source>
        <translation>Cannot write to “%1”: %2</translation>
    </message>
    <message>
        <source>「%1」を保存できません: %2</source>
        <translation>Cannot save “%1”: %2</translation>
    </message>
    <message>
        <source>フォルダがありません</source>
        <translation>no such folder</translation>
    </message>
    <message>
        <source>フォルダを読めません</source>
        <translation>cannot read the folder</translation>
    </message>
</context>
<context>
    <name>FolderLists</name>
    <message>
        <source>ドライブの準備がまだです</source>
        <translation>The drive is not ready</translation>
    </message>
</context>
<context>
    <name>FrameExport</name>
    <message>
        <source>GIF のコマ時間は 10 ミリ秒単位なので、%1 ミリ秒を %2 ミリ秒にして書き出しました。</source>
        <translation>GIF step times are in units of 10 ms: %1 ms was written as %2 ms.</translation>
    </message>
    <message>
        <source>BMP は透過を持てないので、背景を透過せずに書き出しました。</source>
        <translation>BMP files cannot be transparent: the background was written opaque.</translation>
    </message>
    <message>
        <source>コマを書き出せませんでした。
%1</source>
        <translation>The frames could not be exported.
%1</translation>
    </message>
    <message>
        <source>アニメパターンが空なので、書き出すコマがありません。</source>
        <translation>The pattern is empty: there are no frames to export.</translation>
    </message>
</context>
<context>
    <name>OutputFormat</name>
    <message>
        <source>シート</source>
        <translation>Sheet</translation>
    </message>
</context>
<context>
    <name>PickerModel</name>
    <message>
        <source>背景</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>パターン１</source>
        <translation>Frame 1</translation>
    </message>
    <message>
        <source>パターン２</source>
        <translation>Frame 2</translation>
    </message>
    <message>
        <source>パターン３</source>
        <translation>Frame 3</translation>
    </message>
    <message>
        <source>パターン４</source>
        <translation>Frame 4</translation>
    </message>
    <message>
        <source>パターン５</source>
        <translation>Frame 5</translation>
    </message>
    <message>
        <source>パターン６</source>
        <translation>Frame 6</translation>
    </message>
    <message>
        <source>パターン７</source>
        <translation>Frame 7</translation>
    </message>
    <message>
        <source>パターン８</source>
        <translation>Frame 8</translation>
    </message>
    <message>
        <source>パターン９</source>
        <translation>Frame 9</translation>
    </message>
    <message>
        <source>前景</source>
        <translation>Foreground</translation>
    </message>
    <message>
        <source>「%1」を読み込めません：%2</source>
        <translation>Cannot load “%1”: %2</translation>
    </message>
</context>
<context>
    <name>PictureLoad</name>
    <message>
        <source>ファイルを開けません</source>
        <translation>cannot open the file</translation>
    </message>
    <message>
        <source>画像として読み取れません</source>
        <translation>not an image that can be read</translation>
    </message>
    <message>
        <source>画像が大きすぎます（一辺 16384 ピクセル、256 MiB まで）</source>
        <translation>the image is too large (16384 pixels a side, 256 MiB at most)</translation>
    </message>
    <message>
        <source>画像の大きさが 0 です</source>
        <translation>the image has no pixels</translation>
    </message>
    <message>
        <source>PNG ファイルではありません</source>
        <translation>not a PNG file</translation>
    </message>
    <message>
        <source>%1 の画像は読み込めません（読み込めるのは PNG、BMP、JPEG です）</source>
        <translation>%1 pictures are not read (only PNG, BMP and JPEG)</translation>
    </message>
</context>
<context>
    <name>ReadState</name>
    <message>
        <source>ファイルが見つかりません</source>
        <translation>no such file</translation>
    </message>
    <message>
        <source>無地の背景の大きさ %1 x %2 twip は使えないので、背景はそのままです</source>
        <translation>a plain background of %1 x %2 twips cannot be made: the background is kept</translation>
    </message>
    <message>
        <source>フォルダです</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>状態ファイルにしては大きすぎます</source>
        <translation>too large for a state file</translation>
    </message>
    <message>
        <source>状態ファイル「%1」を読めません。
%2</source>
        <translation>Cannot read the state file “%1”.
%2</translation>
    </message>
    <message>
        <source>背景</source>
        <translation>background</translation>
    </message>
    <message>
        <source>前景</source>
        <translation>foreground</translation>
    </message>
    <message>
        <source>読み込めなかった画像があります。その枠は空です。</source>
        <translation>Some images could not be loaded. Their slots are empty.</translation>
    </message>
    <message>
        <source>%1「%2」: %3</source>
        <translation>%1 “%2”: %3</translation>
    </message>
    <message>
        <source>%1。ベース名はそのままです</source>
        <translation>%1; the base name is kept</translation>
    </message>
</context>
<context>
    <name>RecoveryCopy</name>
    <message>
        <source>復元用のコピーではありません</source>
        <translation>not a recovery copy</translation>
    </message>
    <message>
        <source>（無題）</source>
        <translation>(untitled)</translation>
    </message>
</context>
<context>
    <name>RecoveryFolder</name>
    <message>
        <source>復元用のフォルダ「%1」を作れません</source>
        <translation>Cannot create the recovery folder “%1”</translation>
    </message>
    <message>
        <source>復元用のコピーを「%1」に置けません</source>
        <translation>Cannot put a recovery copy in “%1”</translation>
    </message>
</context>
<context>
    <name>StageLayout</name>
    <message>
        <source>縮小表示 %1%（%2 x %3）</source>
        <translation>Shown at %1% (%2 x %3)</translation>
    </message>
</context>
<context>
    <name>StateCodec</name>
    <message>
        <source>この状態ファイルは UTF-8 でなく、Shift_JIS の変換器もありません</source>
        <translation>the state file is not UTF-8 and no Shift_JIS converter is available</translation>
    </message>
    <message>
        <source>%1 行目: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>ファイルが途中で終わっています</source>
        <translation>the file ends too early</translation>
    </message>
    <message>
        <source>引用符が閉じていません</source>
        <translation>a quotation mark is not closed</translation>
    </message>
    <message>
        <source>文字列の後に余分な文字があります</source>
        <translation>extra characters after a string</translation>
    </message>
    <message>
        <source>数値がありません</source>
        <translation>a number is missing</translation>
    </message>
    <message>
        <source>数値のはずの所に「%1」があります</source>
        <translation>&quot;%1&quot; where a number belongs</translation>
    </message>
    <message>
        <source>数値 %1 が範囲 %2 ～ %3 の外です</source>
        <translation>the number %1 lies outside %2 to %3</translation>
    </message>
    <message>
        <source>#TRUE# か #FALSE# のはずの所に「%1」があります</source>
        <translation>&quot;%1&quot; where #TRUE# or #FALSE# belongs</translation>
    </message>
</context>
<context>
    <name>StatusLine</name>
    <message>
        <source>書き出せませんでした: %1</source>
        <translation>Not exported: %1</translation>
    </message>
    <message>
        <source>書き出しを取り消しました（ファイルは元のままです）</source>
        <translation>Export cancelled (the files are as they were)</translation>
    </message>
    <message>
        <source>書き出すコマがありません</source>
        <translation>No frames to export</translation>
    </message>
    <message>
        <source>書き出しました: %1 (%2 ファイル)</source>
        <translation>Exported: %1 (%2 files)</translation>
    </message>
    <message>
        <source>無題</source>
        <translation>Untitled</translation>
    </message>
    <message>
        <source>読み込みました: %1</source>
        <translation>Loaded: %1</translation>
    </message>
    <message>
        <source>保存しました: %1</source>
        <translation>Saved: %1</translation>
    </message>
</context>
<context>
    <name>StepTime</name>
    <message>
        <source>コマの時間の入力</source>
        <translation>Type step time</translation>
    </message>
    <message>
        <source>コマの時間「%1」は使えません。%2 ～ %3 ミリ秒、または空（1コマの時間）にしてください。</source>
        <translation>“%1” cannot be a step time. Use %2 to %3 ms, or leave it empty (the export step time).</translation>
    </message>
</context>
<context>
    <name>Zoom</name>
    <message>
        <source>ステージが大きすぎるためズームできません（拡大画像は 256 MiB まで）</source>
        <translation>The stage is too large to zoom (the magnified image may take 256 MiB at most)</translation>
    </message>
</context>
<context>
    <name>koma::ExportSettingsWindow</name>
    <message>
        <source>出力設定</source>
        <translation>Export settings</translation>
    </message>
    <message>
        <source>出力形式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>1コマの時間</source>
        <translation>Step time</translation>
    </message>
    <message>
        <source>ミリ秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>繰り返し回数</source>
        <translation>Repeat</translation>
    </message>
    <message>
        <source>回（0 = 無限）</source>
        <translation>times (0 = ∞)</translation>
    </message>
    <message>
        <source>背景を透明に</source>
        <translation>Transparent background</translation>
    </message>
    <message>
        <source>再生順</source>
        <translation>Play order</translation>
    </message>
    <message>
        <source>順方向</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>往復（ピンポン）</source>
        <translation>Ping-pong</translation>
    </message>
    <message>
        <source>ＯＫ</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>書き出すファイルの形式</source>
        <translation>The kind of file to export</translation>
    </message>
    <message>
        <source>アニメーションの1コマの時間（ミリ秒）</source>
        <translation>How long each step of the animation shows (milliseconds)</translation>
    </message>
    <message>
        <source>アニメーションを繰り返す回数（0 は無限）</source>
        <translation>How many times the animation repeats (0 repeats forever)</translation>
    </message>
    <message>
        <source>背景の色を透明にして書き出します（BMP を除く）</source>
        <translation>Export the background colour as transparent (not for BMP)</translation>
    </message>
    <message>
        <source>コマを順に再生するか、往復させるか</source>
        <translation>Play the steps forward, or forward and back again</translation>
    </message>
    <message>
        <source>この設定を使います</source>
        <translation>Use these settings</translation>
    </message>
    <message>
        <source>何も変えずに窓を閉じます</source>
        <translation>Close the window without changing anything</translation>
    </message>
    <message>
        <source>PNG・APNG を最小サイズに（時間がかかります）</source>
        <translation>Smallest PNG and APNG files (takes longer)</translation>
    </message>
    <message>
        <source>PNG と APNG の圧縮を最後まで試して、いちばん小さいファイルにします</source>
        <translation>Try every way of compressing PNG and APNG files and keep the smallest</translation>
    </message>
    <message>
        <source>拡大</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>%1 倍</source>
        <translation>%1×</translation>
    </message>
    <message>
        <source>メモリ上限</source>
        <translation>Memory limit</translation>
    </message>
    <message>
        <source>書き出しに使うメモリがこれを超えるときは、書き出す前に止めます</source>
        <translation>Stops before exporting when the export would need more memory than this</translation>
    </message>
    <message>
        <source>書き出す絵を整数倍に拡大します。1 画素が N x N の四角になり、ぼけません</source>
        <translation>Enlarges the exported pictures a whole number of times: each pixel becomes an N x N block, nothing blurred</translation>
    </message>
</context>
<context>
    <name>koma::Form1</name>
    <message>
        <source>保存する</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存しない</source>
        <translation>Don’t save</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>ムクリ工房簡易アニメータ</source>
        <translation>Mukuri Studio Simple Animator</translation>
    </message>
    <message>
        <source>変更が保存されていません。
保存してから終了しますか？</source>
        <translation>The changes are not saved.
Save them before quitting?</translation>
    </message>
    <message>
        <source>変更が保存されていません。
保存してから「%1」を読み込みますか？</source>
        <translation>The changes are not saved.
Save them before loading “%1”?</translation>
    </message>
    <message>
        <source>「%1」はほかのプログラムで変更されています。
上書きしますか？</source>
        <translation>“%1” was changed by another program.
Overwrite it?</translation>
    </message>
    <message>
        <source>上書きする</source>
        <translation>Overwrite</translation>
    </message>
    <message>
        <source>アニメパターン</source>
        <translation>Animation pattern</translation>
    </message>
    <message>
        <source>コマ間隔</source>
        <translation>Spacing</translation>
    </message>
    <message>
        <source>調整</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>リセット</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>背景設定</source>
        <translation>BG</translation>
    </message>
    <message>
        <source>保存先パス</source>
        <translation>Export folder</translation>
    </message>
    <message>
        <source>コマ作成</source>
        <translation>Export frames</translation>
    </message>
    <message>
        <source>出力形式</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>出力設定</source>
        <translation>Export settings</translation>
    </message>
    <message>
        <source>このコマの時間</source>
        <translation>Step time</translation>
    </message>
    <message>
        <source>ミリ秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>再生速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>1/4倍</source>
        <translation>1/4×</translation>
    </message>
    <message>
        <source>1/2倍</source>
        <translation>1/2×</translation>
    </message>
    <message>
        <source>1倍</source>
        <translation>1×</translation>
    </message>
    <message>
        <source>2倍</source>
        <translation>2×</translation>
    </message>
    <message>
        <source>オニオンスキン (F3)</source>
        <translation>Onion skin (F3)</translation>
    </message>
    <message>
        <source>次のコマも</source>
        <translation>Next step too</translation>
    </message>
    <message>
        <source>ファイルの変更を反映</source>
        <translation>Follow file changes</translation>
    </message>
    <message>
        <source>ほかのプログラムで保存された画像をスロットに読み込み直し、未保存の変更がなければ状態ファイルも読み込み直します</source>
        <translation>Reload images saved by other programs into their slots, and the state file too when nothing is unsaved</translation>
    </message>
    <message>
        <source>表示言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>ステージ: 各コマがここに合成されます</source>
        <translation>The stage: each step is composed here</translation>
    </message>
    <message>
        <source>背景の画像: クリックで読み込み、画像を落としても入ります</source>
        <translation>Background image: click to load one, or drop an image here</translation>
    </message>
    <message>
        <source>パターン%1の画像: クリックで読み込み、画像を落としても入ります</source>
        <translation>Frame %1 image: click to load one, or drop an image here</translation>
    </message>
    <message>
        <source>前景の画像: クリックで読み込み、画像を落としても入ります</source>
        <translation>Foreground image: click to load one, or drop an image here</translation>
    </message>
    <message>
        <source>アニメパターン: 各コマに出す画像の番号 1 ～ 9 を並べます</source>
        <translation>The animation pattern: one frame number, 1 to 9, for each step</translation>
    </message>
    <message>
        <source>アニメパターンを再生します。もう一度押すと止まります</source>
        <translation>Play the pattern on the stage; press again to stop</translation>
    </message>
    <message>
        <source>カーソルのコマを 1 ピクセル上へ動かします</source>
        <translation>Move the step at the cursor 1 pixel up</translation>
    </message>
    <message>
        <source>カーソルのコマを 1 ピクセル下へ動かします</source>
        <translation>Move the step at the cursor 1 pixel down</translation>
    </message>
    <message>
        <source>カーソルのコマを 1 ピクセル左へ動かします</source>
        <translation>Move the step at the cursor 1 pixel left</translation>
    </message>
    <message>
        <source>カーソルのコマを 1 ピクセル右へ動かします</source>
        <translation>Move the step at the cursor 1 pixel right</translation>
    </message>
    <message>
        <source>微調整: ← → でコマを選び、矢印ボタンでそのコマの位置を動かします</source>
        <translation>Fine adjustment: choose a step with ← →, move it with the arrow buttons</translation>
    </message>
    <message>
        <source>このコマまでの横の移動の合計（ピクセル）</source>
        <translation>Horizontal movement up to this step (pixels)</translation>
    </message>
    <message>
        <source>このコマまでの縦の移動の合計（ピクセル、上が正）</source>
        <translation>Vertical movement up to this step (pixels, up is positive)</translation>
    </message>
    <message>
        <source>このコマだけの横の移動（ピクセル）</source>
        <translation>Horizontal movement of this step alone (pixels)</translation>
    </message>
    <message>
        <source>このコマだけの縦の移動（ピクセル、上が正）</source>
        <translation>Vertical movement of this step alone (pixels, up is positive)</translation>
    </message>
    <message>
        <source>コマ間隔: 1 コマごとに横へ進むピクセル数</source>
        <translation>Spacing: the pixels the frame travels sideways at each step</translation>
    </message>
    <message>
        <source>パターン画像の横の基準位置</source>
        <translation>Horizontal base position of the frames</translation>
    </message>
    <message>
        <source>パターン画像の縦の基準位置</source>
        <translation>Vertical base position of the frames</translation>
    </message>
    <message>
        <source>横の基準位置（ピクセル）</source>
        <translation>Horizontal base position (pixels)</translation>
    </message>
    <message>
        <source>縦の基準位置（ピクセル、上が正）</source>
        <translation>Vertical base position (pixels, up is positive)</translation>
    </message>
    <message>
        <source>パターン１を背景に重ねて基準位置を合わせます</source>
        <translation>Show frame 1 over the background to set the base position</translation>
    </message>
    <message>
        <source>基準位置とコマ間隔を 0 に戻します</source>
        <translation>Set the base position and the spacing back to 0</translation>
    </message>
    <message>
        <source>ステージを 4 倍に拡大した窓を開閉します</source>
        <translation>Open or close a window showing the stage 4 times enlarged</translation>
    </message>
    <message>
        <source>背景の設定: 無地の背景の色と大きさ</source>
        <translation>Background settings: colour and size of a plain background</translation>
    </message>
    <message>
        <source>書き出し先のドライブ</source>
        <translation>Drive to export to</translation>
    </message>
    <message>
        <source>書き出し先のフォルダ（ダブルクリックで開きます）</source>
        <translation>Folder to export to (double-click to open)</translation>
    </message>
    <message>
        <source>書き出すファイルの名前（番号と拡張子が付きます）</source>
        <translation>Name of the exported files (a number and an extension are added)</translation>
    </message>
    <message>
        <source>パターンの各コマを保存先に書き出します</source>
        <translation>Export every step of the pattern to the export folder</translation>
    </message>
    <message>
        <source>押すと書き出しが BMP の連番になります</source>
        <translation>Press to export numbered BMP files</translation>
    </message>
    <message>
        <source>押すと書き出しがアニメーション GIF になります</source>
        <translation>Press to export one animated GIF</translation>
    </message>
    <message>
        <source>状態ファイルに記録されるフォルダ</source>
        <translation>The folder kept in the state file</translation>
    </message>
    <message>
        <source>状態ファイルを読み込みます (Ctrl+O)</source>
        <translation>Load a state file (Ctrl+O)</translation>
    </message>
    <message>
        <source>状態ファイルに保存します (Ctrl+S で上書き)</source>
        <translation>Save to a state file (Ctrl+S saves over it)</translation>
    </message>
    <message>
        <source>状態ファイルの名前（未保存なら *）と最後の知らせ</source>
        <translation>The state file (* while unsaved) and the latest message</translation>
    </message>
    <message>
        <source>カーソルのコマの時間（ミリ秒）。空なら1コマの時間です</source>
        <translation>Time of the step at the cursor (milliseconds); empty for the export step time</translation>
    </message>
    <message>
        <source>アニメテストの再生速度（書き出しには影響しません）</source>
        <translation>Speed of the test play (the export is not affected)</translation>
    </message>
    <message>
        <source>前のコマを薄く重ねて表示します</source>
        <translation>Show the previous step faintly over the stage</translation>
    </message>
    <message>
        <source>ウィンドウの文字の言語を選びます</source>
        <translation>Choose the language of the windows</translation>
    </message>
    <message>
        <source>次のコマも薄く重ねて表示します</source>
        <translation>Show the next step faintly too</translation>
    </message>
    <message>
        <source>出力形式、1コマの時間、繰り返し回数、透明、再生順を決めます</source>
        <translation>Format, step time, repeats, transparency and play order of the export</translation>
    </message>
</context>
<context>
    <name>koma::Form2</name>
    <message>
        <source>ファイルを開く</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>ドライブ</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>フォルダ（ダブルクリックで開きます）</source>
        <translation>Folder (double-click to open)</translation>
    </message>
    <message>
        <source>一覧に出すファイルの種類（*.BMP、*.JPG、*.PNG）</source>
        <translation>Kind of files listed (*.BMP, *.JPG, *.PNG)</translation>
    </message>
    <message>
        <source>クリックした画像を、選んだ枠に読み込みます</source>
        <translation>Click an image to load it into the chosen slot</translation>
    </message>
    <message>
        <source>読み込む先の枠の名前</source>
        <translation>The slot to load into</translation>
    </message>
    <message>
        <source>読み込む先の枠を選びます</source>
        <translation>Choose the slot to load into</translation>
    </message>
    <message>
        <source>次の枠へ進みます</source>
        <translation>Go on to the next slot</translation>
    </message>
    <message>
        <source>窓を閉じます</source>
        <translation>Close the window</translation>
    </message>
</context>
<context>
    <name>koma::Form3</name>
    <message>
        <source>状態のSAVE&amp;LOAD</source>
        <translation>State SAVE&amp;LOAD</translation>
    </message>
    <message>
        <source>最近使った状態ファイル（ダブルクリックで読み込み）</source>
        <translation>Recent state files (double-click to load)</translation>
    </message>
    <message>
        <source>最近使った状態ファイル</source>
        <translation>Recent state files</translation>
    </message>
    <message>
        <source>%1（ありません）</source>
        <translation>%1 (missing)</translation>
    </message>
    <message>
        <source>名前の状態ファイルを読み込むか保存します</source>
        <translation>Load or save the named state file</translation>
    </message>
    <message>
        <source>ドライブ</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>フォルダ（ダブルクリックで開きます）</source>
        <translation>Folder (double-click to open)</translation>
    </message>
    <message>
        <source>一覧に出すファイルの種類</source>
        <translation>Kind of files listed</translation>
    </message>
    <message>
        <source>状態ファイル: クリックで名前に入り、ダブルクリックで実行します</source>
        <translation>State files: click to take the name, double-click to go ahead</translation>
    </message>
    <message>
        <source>状態ファイルの名前（.pst は付けなくてもかまいません）</source>
        <translation>Name of the state file (.pst may be left out)</translation>
    </message>
</context>
<context>
    <name>koma::Form5</name>
    <message>
        <source>背景の設定</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>無地</source>
        <translation>Plain</translation>
    </message>
    <message>
        <source>指定ファイル</source>
        <translation>From file</translation>
    </message>
    <message>
        <source>よこ</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>たて</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>Ｏｋ</source>
        <translation>Ok</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>背景を無地にします（色と大きさは右で決めます）</source>
        <translation>Use a plain background (colour and size on the right)</translation>
    </message>
    <message>
        <source>背景の枠に読み込んだ画像を背景にします</source>
        <translation>Use the image loaded into the background slot</translation>
    </message>
    <message>
        <source>無地の背景の幅（ピクセル）</source>
        <translation>Width of a plain background (pixels)</translation>
    </message>
    <message>
        <source>無地の背景の高さ（ピクセル）</source>
        <translation>Height of a plain background (pixels)</translation>
    </message>
    <message>
        <source>無地の背景の色: クリックで色を選びます</source>
        <translation>Colour of a plain background: click to choose one</translation>
    </message>
    <message>
        <source>この設定を使って窓を閉じます</source>
        <translation>Use these settings and close the window</translation>
    </message>
    <message>
        <source>何も変えずに窓を閉じます</source>
        <translation>Close the window without changing anything</translation>
    </message>
</context>
<context>
    <name>koma::LanguageWindow</name>
    <message>
        <source>表示言語</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>ウィンドウの文字の言語。次に起動したときから変わります</source>
        <translation>The language of the windows; it changes at the next start</translation>
    </message>
    <message>
        <source>システムの設定に従う</source>
        <translation>As the system is set</translation>
    </message>
    <message>
        <source>選んだ言語は、次に起動したときから使われます。</source>
        <translation>The language chosen is used from the next start of koma.</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>この窓を閉じます</source>
        <translation>Close this window</translation>
    </message>
</context>
<context>
    <name>koma::RecoveryQuestion</name>
    <message>
        <source>「%1」</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>保存したことのない作業</source>
        <translation>Work never saved</translation>
    </message>
    <message>
        <source>前回、正しく終了しなかった作業が残っています。
%1（%2 の状態）を復元しますか？</source>
        <translation>Work from a session that did not end properly is left.
Restore %1 (as of %2)?</translation>
    </message>
    <message>
        <source>
ほかに %1 件あります。次に起動したときにまた尋ねます。</source>
        <translation>
%1 more are left. You will be asked again at the next start.</translation>
    </message>
    <message>
        <source>復元する</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>破棄する</source>
        <translation>Discard</translation>
    </message>
</context>
<context>
    <name>koma::SlotFollower</name>
    <message>
        <source>「%1」が見つかりません。絵はそのままです</source>
        <translation>“%1” is missing. The picture stays</translation>
    </message>
    <message>
        <source>「%1」を読み込めません：%2</source>
        <translation>Cannot load “%1”: %2</translation>
    </message>
    <message>
        <source>「%1」を読み込み直しました</source>
        <translation>Reloaded “%1”</translation>
    </message>
</context>
<context>
    <name>koma::StateFileWatch</name>
    <message>
        <source>「%1」が見つかりません</source>
        <translation>“%1” is missing</translation>
    </message>
    <message>
        <source>「%1」を読み込めません：%2</source>
        <translation>Cannot load “%1”: %2</translation>
    </message>
    <message>
        <source>「%1」がほかで変更されました</source>
        <translation>“%1” was changed elsewhere</translation>
    </message>
    <message>
        <source>「%1」を読み込み直しました</source>
        <translation>Reloaded “%1”</translation>
    </message>
</context>
<context>
    <name>koma::StateWindowModel</name>
    <message>
        <source>「%1」はこのあと読み込むファイルです。
別の名前で保存してください。</source>
        <translation>“%1” is the file to be loaded next.
Save under another name.</translation>
    </message>
    <message>
        <source>読み込む前に、いまの作業を保存します。
保存する名前を付けて「OK」を押してください。保存したあと「%1」を読み込みます。</source>
        <translation>The current work is saved before loading.
Name the file to save it in and press “OK”. After saving, “%1” is loaded.</translation>
    </message>
</context>
</TS>
